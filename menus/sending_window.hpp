// "Sending results...": shown while the score report goes to the world table.
#pragma once

#include "state/modal_window.hpp"

namespace vantorel {

struct TGameContext;

class TSendingWindow final : public IModalWindow {
public:
    explicit TSendingWindow(TGameContext& context) : ctx_(context) {}

    TWindowKind Kind() const override { return TWindowKind::Sending; }
    void Open() override {}
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t) override {}
    void Close() override {}

private:
    TGameContext& ctx_;
};

} // namespace vantorel

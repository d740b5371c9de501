// The name entry after a qualifying game: "Your score is ...", the typed name, and
// Enter or a click to put the name and score into the table.
#pragma once

#include "state/modal_window.hpp"

namespace vantorel {

struct TGameContext;

class TNameEntryWindow final : public IModalWindow {
public:
    explicit TNameEntryWindow(TGameContext& context) : ctx_(context) {}

    TWindowKind Kind() const override { return TWindowKind::NameEntry; }
    void Open() override {}
    void Tick(int32_t lagCount) override;
    /// Whatever the item: the name and score go into the table, then the send question.
    void ActivateItem(int32_t item) override;
    void Close() override {}

private:
    TGameContext& ctx_;
};

} // namespace vantorel

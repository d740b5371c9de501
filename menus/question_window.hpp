// The question windows' common behaviour: the "Yes" and "No" buttons as items 11
// and 12, "Y" and "N" as shortcuts, Left and Right to move between them, and the
// system pointer shown while the question is open.
#pragma once

#include "state/modal_window.hpp"

#include <cstdint>

namespace vantorel {

struct TGameContext;

class TQuestionWindow : public IModalWindow {
public:
    static constexpr int32_t kYes = 11;
    static constexpr int32_t kNo = 12;

    void Open() override;
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;
    void Close() override;

protected:
    /// defaultItem is highlighted when the window opens.
    TQuestionWindow(TGameContext& context, int32_t defaultItem)
        : ctx_(context), defaultItem_(defaultItem) {}
    virtual void Yes() = 0;
    virtual void No() = 0;

    TGameContext& ctx_;

private:
    int32_t defaultItem_;
};

} // namespace vantorel

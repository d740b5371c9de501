#include "menus/question_window.hpp"

#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void TQuestionWindow::Open() {
    TGameState& s = ctx_.State;
    s.FirstItem = kYes;
    s.LastItem = kNo;
    s.ItemIndex = defaultItem_;
}

void TQuestionWindow::Tick(int32_t) {
    TGameState& s = ctx_.State;
    const TWindowKind kind = s.WindowKind;
    if (s.KeyY.Pressed)
        ctx_.Shell.ActivateItemNo(kYes);
    // One activation a frame: "Y" may already have closed this window.
    if (s.KeyN.Pressed && s.WindowKind == kind)
        ctx_.Shell.ActivateItemNo(kNo);
    if (s.WindowKind != kind)
        return;
    if (s.KeyLeft.Pressed) {
        PullInFromBelow(s.ItemIndex, kYes, kNo);
        StepUpStop(s.ItemIndex, kYes, 1);
    }
    if (s.KeyRight.Pressed) {
        PullInFromAbove(s.ItemIndex, kYes, kNo);
        StepDownStop(s.ItemIndex, kNo, 1);
    }
}

void TQuestionWindow::ActivateItem(int32_t item) {
    if (item == kYes)
        Yes();
    else if (item == kNo)
        No();
}

void TQuestionWindow::Close() {}

} // namespace vantorel

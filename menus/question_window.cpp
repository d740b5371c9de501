#include "menus/question_window.hpp"

#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "menus/window_frame.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

namespace vantorel {

namespace {
constexpr int32_t kButtonLayer = 15;
} // namespace

void TQuestionWindow::Open() {
    TGameState& s = ctx_.State;
    frame_ = CreateWindowFrame(ctx_);
    s.Cursor.FirstItem = kYes;
    s.Cursor.LastItem = kNo;
    s.Cursor.ItemIndex = defaultItem_;
    // Pattern 0 of "Yes" and "No" is the highlighted look, pattern 1 the normal one.
    auto* yes = new TMenuButton(ctx_, 1, 304, 353, 1, 0, "Yes", "Yes");
    auto* no = new TMenuButton(ctx_, 1, 427, 353, 1, 0, "No", "No");
    yes->SetZ(kButtonLayer);
    no->SetZ(kButtonLayer);
    menus_.Items[kYes] = yes;
    menus_.Items[kNo] = no;
    menus_.Pad.Arm(s.Input);
}

void TQuestionWindow::Tick(int32_t lagCount) {
    TGameState& s = ctx_.State;
    const TWindowKind kind = s.Cursor.WindowKind;
    const bool padPressed = menus_.Pad.Pressed(s.Input);
    for (int32_t k = kYes; k <= kNo; ++k)
        if (TMenuButton* b = menus_.Items[static_cast<size_t>(k)])
            b->Move(lagCount);
    UpdateHighlight(s.Cursor, menus_.Items);
    // One answer a frame: "Y" and "N" together answer "Yes" only.
    if (s.Input.WasPressed(TInputKey::Y))
        ctx_.Navigation.ActivateItemNo(kYes);
    else if (s.Input.WasPressed(TInputKey::N))
        ctx_.Navigation.ActivateItemNo(kNo);
    else if (padPressed)
        ctx_.Navigation.ActivateItem();
    if (s.Cursor.WindowKind != kind)
        return;
    if (s.Input.WasPressed(TInputKey::Left)) {
        PullInFromBelow(s.Cursor.ItemIndex, kYes, kNo);
        StepUpStop(s.Cursor.ItemIndex, kYes, 1);
    }
    if (s.Input.WasPressed(TInputKey::Right)) {
        PullInFromAbove(s.Cursor.ItemIndex, kYes, kNo);
        StepDownStop(s.Cursor.ItemIndex, kNo, 1);
    }
    DrawQuestion();
}

void TQuestionWindow::ActivateItem(int32_t item) {
    if (!ItemInRange(ctx_.State.Cursor, item))
        return;
    if (item == kYes)
        Yes();
    else if (item == kNo)
        No();
}

void TQuestionWindow::Close() {
    KillItems(menus_.Items, kYes, kNo);
    if (frame_ != nullptr)
        frame_->Kill();
    frame_ = nullptr;
}

} // namespace vantorel

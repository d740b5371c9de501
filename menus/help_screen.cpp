#include "menus/help_screen.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

#include <string>

namespace vantorel {

namespace {
constexpr int32_t kPages = 3;
constexpr int32_t kPrev = 1;
constexpr int32_t kNext = 2;
constexpr int32_t kBack = 3;
} // namespace

void THelpScreen::Build() {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::Help;
    s.Cursor.FirstItem = 1;
    s.Cursor.LastItem = kBack;
    s.Cursor.ItemIndex = kBack;
    menus_.Pad.Arm(s.Input);
    page_ = 1;
    pageSprite_ = TMyImageSprite::CreateAt(ctx_, 1, "Help1", 20, 113, 3);
    menus_.Items[kPrev] = new TMenuButton(ctx_, 1, 18, 501, 0, 0, "Prev_I", "Prev_A");
    menus_.Items[kNext] = new TMenuButton(ctx_, 1, 469, 501, 0, 0, "Next_I", "Next_A");
    menus_.Items[kBack] = new TMenuButton(ctx_, 1, 18, 546, 0, 0, "Back_I", "Back_A");
}

void THelpScreen::Leave() {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::None;
    KillItems(menus_.Items, 1, kBack);
    if (pageSprite_ != nullptr)
        pageSprite_->Kill();
    pageSprite_ = nullptr;
}

void THelpScreen::ShowPage() {
    if (pageSprite_ != nullptr)
        pageSprite_->SetImageByName("Help" + std::to_string(page_));
}

void THelpScreen::Tick(int32_t lagCount) {
    TGameState& s = ctx_.State;
    const bool padPressed = menus_.Pad.Pressed(s.Input);
    UpdateHighlight(s.Cursor, menus_.Items);
    int32_t activate = 0;
    if (s.Input.WasPressed(TInputKey::Up) && s.Cursor.ItemIndex == kBack)
        s.Cursor.ItemIndex = kPrev;
    if (s.Input.WasPressed(TInputKey::Down) &&
        (s.Cursor.ItemIndex == kPrev || s.Cursor.ItemIndex == kNext))
        s.Cursor.ItemIndex = kBack;
    if (s.Input.WasPressed(TInputKey::Left)) {
        if (s.Cursor.ItemIndex == kPrev)
            activate = kPrev;
        else if (s.Cursor.ItemIndex == kNext)
            s.Cursor.ItemIndex = kPrev;
    }
    if (s.Input.WasPressed(TInputKey::Right) && activate == 0) {
        if (s.Cursor.ItemIndex == kNext)
            activate = kNext;
        else if (s.Cursor.ItemIndex == kPrev)
            s.Cursor.ItemIndex = kNext;
    }
    if (s.Input.WasPressed(TInputKey::Esc) && activate == 0)
        activate = kBack;
    if (activate != 0)
        ctx_.Navigation.ActivateItemNo(activate);
    else if (padPressed)
        ctx_.Navigation.ActivateItem();
    if (s.Cursor.ScreenCode == TScreenCode::Help)
        ctx_.Sprites.Move(lagCount);
}

void THelpScreen::ActivateItem(int32_t item) {
    if (!ItemInRange(ctx_.State.Cursor, item))
        return;
    switch (item) {
    case kPrev:
        StepUpWrap(page_, 1, kPages);
        ShowPage();
        break;
    case kNext:
        StepDownWrap(page_, 1, kPages);
        ShowPage();
        break;
    case kBack:
        Leave();
        menus_.MainMenu.Build(0, 4, 0);
        break;
    default:
        break;
    }
}

} // namespace vantorel

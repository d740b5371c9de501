#include "menus/high_scores_screen.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "storage/links.hpp"
#include "storage/score_server.hpp"

#include <string>

namespace vantorel {

namespace {

constexpr int32_t kItems = 3;
constexpr int32_t kBackItem = 3;
constexpr int32_t kRowStyle = 2;
constexpr int32_t kRankX = 58;
constexpr int32_t kNameX = 224;
constexpr int32_t kScoreX = 466;

} // namespace

void THighScoresScreen::Build() {
    TGameState& s = ctx_.State;
    s.ScreenCode = TScreenCode::HighScores;
    s.FirstItem = 1;
    s.LastItem = kItems;
    s.ItemIndex = kBackItem;
    menus_.Pad.Arm(s);
    background_ = TMyImageSprite::CreateAt(ctx_, 1, "HS_Bg", 20, 113, 3);
    s.Items[1] = new TMenuButton(ctx_, 1, 320, 502, 0, 0, "Clear_HS_I", "Clear_HS_A");
    s.Items[2] = new TMenuButton(ctx_, 1, 213, 531, 0, 0, "Visit_WHS_I", "Visit_WHS_A");
    s.Items[3] = new TMenuButton(ctx_, 1, 18, 546, 0, 0, "Back_I", "Back_A");
}

void THighScoresScreen::Leave() {
    TGameState& s = ctx_.State;
    s.ScreenCode = TScreenCode::None;
    KillItems(s, 1, kItems);
    if (background_ != nullptr)
        background_->Kill();
    background_ = nullptr;
}

void THighScoresScreen::Tick(int32_t lagCount) {
    TGameState& s = ctx_.State;
    const bool padPressed = menus_.Pad.Pressed(s);
    UpdateHighlight(s);
    if (s.Input.WasPressed(TInputKey::Up))
        StepUpStop(s.ItemIndex, 1, 1);
    if (s.Input.WasPressed(TInputKey::Down))
        StepDownStop(s.ItemIndex, kItems, 1);
    if (s.Input.WasPressed(TInputKey::Esc))
        ctx_.Navigation.ActivateItemNo(kBackItem);
    else if (padPressed)
        ctx_.Navigation.ActivateItem();
    if (s.ScreenCode != TScreenCode::HighScores)
        return;
    ctx_.Sprites.Move(lagCount);
    DrawTable();
}

void THighScoresScreen::DrawTable() {
    const HighScoreTable& table = ctx_.State.HighScores;
    for (int32_t n = 1; n <= HighScoreTable::Ranked; ++n) {
        const int32_t y = 212 + 26 * n;
        DrawCentredInStyle(ctx_, std::to_string(n), kRowStyle, kRankX, y);
        DrawCentredInStyle(ctx_, table[n].Name, kRowStyle, kNameX, y);
        DrawCentredInStyle(ctx_, std::to_string(table[n].Score), kRowStyle, kScoreX, y);
    }
}

void THighScoresScreen::ActivateItem(int32_t item) {
    if (!ItemInRange(ctx_.State, item))
        return;
    switch (item) {
    case 1:
        ctx_.Navigation.OpenWindow(TWindowKind::ClearTable);
        break;
    case 2:
        OpenWorldTable(menus_.Links, ScoreServer());
        break;
    case kBackItem:
        Leave();
        menus_.MainMenu.Build(0, 3, 0);
        break;
    default:
        break;
    }
}

} // namespace vantorel

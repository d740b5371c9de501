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
    s.Cursor.ScreenCode = TScreenCode::HighScores;
    s.Cursor.FirstItem = 1;
    s.Cursor.LastItem = kItems;
    s.Cursor.ItemIndex = kBackItem;
    menus_.Pad.Arm(s.Input);
    background_ = TMyImageSprite::CreateAt(ctx_, 1, "HS_Bg", 20, 113, 3);
    menus_.Items[1] = new TMenuButton(ctx_, 1, 320, 502, 0, 0, "Clear_HS_I", "Clear_HS_A");
    menus_.Items[2] = new TMenuButton(ctx_, 1, 213, 531, 0, 0, "Visit_WHS_I", "Visit_WHS_A");
    menus_.Items[3] = new TMenuButton(ctx_, 1, 18, 546, 0, 0, "Back_I", "Back_A");
}

void THighScoresScreen::Leave() {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::None;
    KillItems(menus_.Items, 1, kItems);
    if (background_ != nullptr)
        background_->Kill();
    background_ = nullptr;
}

void THighScoresScreen::Tick(int32_t lagCount) {
    TGameState& s = ctx_.State;
    const bool padPressed = menus_.Pad.Pressed(s.Input);
    UpdateHighlight(s.Cursor, menus_.Items);
    if (s.Input.WasPressed(TInputKey::Up))
        StepUpStop(s.Cursor.ItemIndex, 1, 1);
    if (s.Input.WasPressed(TInputKey::Down))
        StepDownStop(s.Cursor.ItemIndex, kItems, 1);
    if (s.Input.WasPressed(TInputKey::Esc))
        ctx_.Navigation.ActivateItemNo(kBackItem);
    else if (padPressed)
        ctx_.Navigation.ActivateItem();
    if (s.Cursor.ScreenCode != TScreenCode::HighScores)
        return;
    ctx_.Sprites.Move(lagCount);
    DrawTable();
}

void THighScoresScreen::DrawTable() {
    const HighScoreTable& table = ctx_.State.Saved.HighScores;
    for (int32_t n = 1; n <= HighScoreTable::Ranked; ++n) {
        const int32_t y = 212 + 26 * n;
        DrawCentredInStyle(ctx_, std::to_string(n), kRowStyle, kRankX, y);
        DrawCentredInStyle(ctx_, table[n].Name, kRowStyle, kNameX, y);
        DrawCentredInStyle(ctx_, std::to_string(table[n].Score), kRowStyle, kScoreX, y);
    }
}

void THighScoresScreen::ActivateItem(int32_t item) {
    if (!ItemInRange(ctx_.State.Cursor, item))
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

#include "menus/high_scores_screen.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/surface.hpp"
#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "state/game_services.hpp"
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
constexpr int32_t kFirstRowY = 238;
constexpr int32_t kRowHeight = 26;
// A row is lit and clicked across the table's three columns.
constexpr int32_t kRowLeft = 36;
constexpr int32_t kRowRight = 566;
// The mark of a row whose game can be watched: a small "play" triangle at the
// row's right end, lit orange with the row.
constexpr int32_t kMarkX = 524;
constexpr int32_t kMarkHalfHeight = 6;
constexpr TPixel kMarkColour = 0xE6DADA;
constexpr TPixel kLitColour = 0xFF9900;
constexpr int32_t kLightAlpha = 56;

int32_t RowY(int32_t rank) {
    return kFirstRowY + kRowHeight * (rank - 1);
}

/// A triangle pointing right, its left edge at x, centred on y.
void DrawPlayMark(TDirectDrawSurface& surface, int32_t x, int32_t y, TPixel colour) {
    for (int32_t dy = -kMarkHalfHeight; dy <= kMarkHalfHeight; ++dy) {
        const int32_t py = y + dy;
        if (py < 0 || py >= surface.Height())
            continue;
        const int32_t length = kMarkHalfHeight - (dy < 0 ? -dy : dy) + 1;
        TPixel* row = surface.Row(py);
        for (int32_t px = x; px < x + length && px < surface.Width(); ++px)
            if (px >= 0)
                row[px] = colour;
    }
}

/// The lit row: an orange light behind its texts.
void DrawRowLight(TDirectDrawSurface& surface, int32_t y) {
    static TDirectDrawSurface orange(1, 1);
    orange.Row(0)[0] = kLitColour;
    surface.DrawBlended(TRect{kRowLeft, y - kRowHeight / 2, kRowRight, y + kRowHeight / 2}, orange,
                        TRect{0, 0, 1, 1}, false, kLightAlpha);
}

} // namespace

void THighScoresScreen::Build() {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::HighScores;
    s.Cursor.FirstItem = 1;
    s.Cursor.LastItem = kItems;
    s.Cursor.ItemIndex = kBackItem;
    row_ = 0;
    RefreshReplays(true);
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
    RefreshReplays(false);
    SteerRows();
    UpdateHighlight(s.Cursor, menus_.Items);
    if (s.Input.WasPressed(TInputKey::Esc))
        ctx_.Navigation.ActivateItemNo(kBackItem);
    else if (padPressed)
        ctx_.Navigation.ActivateItem();
    if (s.Cursor.ScreenCode != TScreenCode::HighScores)
        return;
    ctx_.Sprites.Move(lagCount);
    DrawTable();
}

// Up and down walk the items as before; above the top item they go on over the
// rows that have a replay, from the bottom row up, and back down to the items.
// The pointer lights a row it moves onto.
void THighScoresScreen::SteerRows() {
    TGameState& s = ctx_.State;
    const int32_t rowBefore = row_;
    const int32_t itemBefore = s.Cursor.ItemIndex;
    // The pointer lit an item: the row gives the light up.
    if (s.Cursor.ItemIndex != 0)
        row_ = 0;
    if (s.Input.PointerMoved) {
        const int32_t r = RowAt(s.Input.PointerX, s.Input.PointerY);
        if (r != 0 && hasReplay_[static_cast<size_t>(r)]) {
            row_ = r;
            s.Cursor.ItemIndex = 0;
        }
    }
    if (s.Input.WasPressed(TInputKey::Up)) {
        if (row_ != 0) {
            if (const int32_t r = NextReplayRow(row_, -1))
                row_ = r;
        } else if (s.Cursor.ItemIndex == 1) {
            if (const int32_t r = NextReplayRow(HighScoreTable::Ranked + 1, -1)) {
                row_ = r;
                s.Cursor.ItemIndex = 0;
            }
        } else {
            StepUpStop(s.Cursor.ItemIndex, 1, 1);
        }
    }
    if (s.Input.WasPressed(TInputKey::Down)) {
        if (row_ != 0) {
            row_ = NextReplayRow(row_, 1);
            if (row_ == 0)
                s.Cursor.ItemIndex = 1;
        } else {
            StepDownStop(s.Cursor.ItemIndex, kItems, 1);
        }
    }
    // A move from row to row sounds as a move between items does.
    if (row_ != rowBefore && s.Cursor.ItemIndex == itemBefore)
        ctx_.Services.PlaySound("Button");
}

int32_t THighScoresScreen::NextReplayRow(int32_t from, int32_t step) const {
    for (int32_t r = from + step; r >= 1 && r <= HighScoreTable::Ranked; r += step)
        if (hasReplay_[static_cast<size_t>(r)])
            return r;
    return 0;
}

int32_t THighScoresScreen::RowAt(int32_t x, int32_t y) {
    if (x < kRowLeft || x >= kRowRight)
        return 0;
    const int32_t top = kFirstRowY - kRowHeight / 2;
    if (y < top)
        return 0;
    const int32_t r = (y - top) / kRowHeight + 1;
    return r <= HighScoreTable::Ranked ? r : 0;
}

bool THighScoresScreen::RowHasReplay(int32_t rank) const {
    return rank >= 1 && rank <= HighScoreTable::Ranked && hasReplay_[static_cast<size_t>(rank)];
}

void THighScoresScreen::RefreshReplays(bool always) {
    const HighScoreTable& table = ctx_.State.Saved.HighScores;
    bool same = !always;
    for (int32_t r = 1; same && r <= HighScoreTable::Ranked; ++r)
        same = asked_[static_cast<size_t>(r)] == table[r];
    if (same)
        return;
    for (int32_t r = 1; r <= HighScoreTable::Ranked; ++r) {
        const auto i = static_cast<size_t>(r);
        asked_[i] = table[r];
        hasReplay_[i] = ctx_.Navigation.HasReplay(table[r].Name, table[r].Score);
    }
    if (row_ != 0 && !hasReplay_[static_cast<size_t>(row_)]) {
        row_ = 0;
        ctx_.State.Cursor.ItemIndex = kBackItem;
    }
}

bool THighScoresScreen::Watch(int32_t rank) {
    const HighScoreEntry& entry = ctx_.State.Saved.HighScores[rank];
    if (!RowHasReplay(rank) || !ctx_.Navigation.WatchReplay(entry.Name, entry.Score))
        return false;
    row_ = 0;
    return true;
}

void THighScoresScreen::DrawTable() {
    const HighScoreTable& table = ctx_.State.Saved.HighScores;
    TDirectDrawSurface* surface = ctx_.Sprites.Engine.Surface();
    if (surface != nullptr && row_ != 0)
        DrawRowLight(*surface, RowY(row_));
    for (int32_t n = 1; n <= HighScoreTable::Ranked; ++n) {
        const int32_t y = RowY(n);
        DrawCentredInStyle(ctx_, std::to_string(n), kRowStyle, kRankX, y);
        DrawCentredInStyle(ctx_, table[n].Name, kRowStyle, kNameX, y);
        DrawCentredInStyle(ctx_, std::to_string(table[n].Score), kRowStyle, kScoreX, y);
        if (surface != nullptr && hasReplay_[static_cast<size_t>(n)])
            DrawPlayMark(*surface, kMarkX, y, n == row_ ? kLitColour : kMarkColour);
    }
}

// A click on a row with a replay plays it, whatever is lit; Enter, the pad's
// button and other clicks perform the lit row or item.
void THighScoresScreen::ActivateItem(int32_t item) {
    const TInputSnapshot& input = ctx_.State.Input;
    if (input.Clicks > 0 && Watch(RowAt(input.PointerX, input.PointerY)))
        return;
    if (item == 0 && row_ != 0) {
        Watch(row_);
        return;
    }
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

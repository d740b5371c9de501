// The high-score screen: the table, clearing it and the world table's page, and
// the games of the table watched again: a row whose game was kept is marked, and
// can be lit (the arrows above the items, the pointer) and watched (Enter, the
// pad's button, a click on it).
#pragma once

#include "state/screen.hpp"
#include "storage/high_score_table.hpp"

#include <array>
#include <cstdint>

namespace vantorel {

class TMyImageSprite;
struct TGameContext;
struct TMenuScreens;

class THighScoresScreen final : public IScreen {
public:
    THighScoresScreen(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    /// Enters the table with its last item (Back) highlighted.
    void Build();
    void Leave();

    TScreenCode Code() const override { return TScreenCode::HighScores; }
    /// Steps the highlight, then draws the ten ranks of State.Saved.HighScores.
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;

    /// The lit row (1..10), whose replay Enter plays; 0 while an item is lit.
    int32_t LitRow() const { return row_; }
    /// True when the row's game can be watched (as of the last frame).
    bool RowHasReplay(int32_t rank) const;
    /// The row (1..10) under display point (x, y); 0 for none.
    static int32_t RowAt(int32_t x, int32_t y);

private:
    void DrawTable();
    /// Asks again which rows have a replay when the table has changed.
    void RefreshReplays(bool always);
    /// The next row with a replay above (step -1) or below (step 1) from; 0 for none.
    int32_t NextReplayRow(int32_t from, int32_t step) const;
    void SteerRows();
    bool Watch(int32_t rank);

    TGameContext& ctx_;
    TMenuScreens& menus_;
    TMyImageSprite* background_ = nullptr;
    int32_t row_ = 0;
    std::array<HighScoreEntry, HighScoreTable::Ranked + 1> asked_{};
    std::array<bool, HighScoreTable::Ranked + 1> hasReplay_{};
};

} // namespace vantorel

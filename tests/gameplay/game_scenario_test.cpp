// A game played through the real frame loop, headless: the banner's length in
// frames, enemies entering, the pause freezing the field under the panel, and Esc
// asking before leaving.
#include "app/main_window.hpp"
#include "gameplay/game_pools.hpp"
#include "objects/monster.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

/// Brings the scenario's game to screen code 5 with the first banner open, from
/// the main menu when the game does not start at once. The frames shown when the
/// banner opened.
int64_t EnterGame(testing::TScenario& game) {
    TGameState& s = game.State();
    if (s.Cursor.ScreenCode != TScreenCode::Game) {
        EXPECT_TRUE(game.RunUntil(
            [&] {
                return s.Cursor.ScreenCode == TScreenCode::MainMenu &&
                       s.Cursor.WindowKind == TWindowKind::None;
            },
            600));
        game.Form->ActivateItemNo(1);
    }
    EXPECT_EQ(s.Cursor.ScreenCode, TScreenCode::Game);
    EXPECT_EQ(s.Cursor.WindowKind, TWindowKind::LevelBanner);
    return game.Frames();
}

/// True when some pixel of the panel's area (the top 75 rows) is not black.
bool PanelShown(const testing::TScenario& game) {
    for (int32_t y = 0; y < 75; y += 3)
        for (int32_t x = 0; x < 800; x += 3)
            if ((game.Pixel(x, y) & 0xFFFFFFu) != 0)
                return true;
    return false;
}

TEST(GameScenario, BannerPlayPauseAndTheExitQuestion) {
    testing::TScenario game(11);
    const int64_t opened = EnterGame(game);
    TGameState& s = game.State();

    // About 16 ms a frame at 60 Hz: 125 steps fit into 2000 ms, the 126th frame
    // closes (the very first frame of the run counts 15 ms, which changes nothing).
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::None; }, 300));
    EXPECT_EQ(s.Timing.FrameMs, 16);
    EXPECT_EQ(game.Frames() - opened, 126);
    EXPECT_EQ(s.Progress.Level, 1);

    // Enemies come in while the ship idles at its start.
    TGamePools& pools = game.Form->Pools();
    ASSERT_TRUE(game.RunUntil([&] { return pools.MonsterCount() > 0; }, 2000));

    // "P" freezes the field; the panel stays drawn over it.
    const int64_t pressAt = game.Frames();
    game.Press(pressAt, TKey::P);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::Pause; }, 5));
    game.RunFrames(2);
    const double monsterX = pools.Monster(1) != nullptr ? pools.Monster(1)->X : 0;
    const int32_t monsterTimer = s.Progress.MonsterTimer;
    game.RunFrames(30);
    if (pools.Monster(1) != nullptr) {
        EXPECT_EQ(pools.Monster(1)->X, monsterX);
    }
    EXPECT_EQ(s.Progress.MonsterTimer, monsterTimer);
    EXPECT_TRUE(PanelShown(game));

    game.Press(game.Frames(), TKey::P);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::None; }, 5));
    game.RunFrames(2);
    EXPECT_GT(s.Progress.MonsterTimer, monsterTimer);

    // Esc asks before leaving the game.
    game.Press(game.Frames(), TKey::Escape);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::ExitToMenu; }, 5));
    EXPECT_EQ(s.Cursor.ScreenCode, TScreenCode::Game);
}

} // namespace
} // namespace vantorel

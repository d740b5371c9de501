#include "gameplay/level_config.hpp"

#include "state/game_state.hpp"

#include <gtest/gtest.h>

#include <set>

namespace vantorel {
namespace {

TEST(LevelConfig, EachLevelLetsInItsEnemiesAndBonuses) {
    struct Case {
        int32_t Level;
        std::set<int32_t> Enemies;
        std::set<int32_t> Bonuses;
        int32_t EnemyTypeCount, BonusTypeCount, MonstersLeft;
    };
    const std::set<int32_t> allBonuses = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const Case cases[] = {
        {1, {0}, {1, 5, 6, 9, 10}, 1, 3, 10},
        {2, {0, 1}, {1, 2, 5, 6, 7, 9, 10}, 2, 5, 20},
        {3, {0, 1, 5}, {1, 2, 3, 5, 6, 7, 8, 9, 10}, 3, 6, 30},
        {4, {0, 1, 2, 5}, allBonuses, 4, 7, 40},
        {5, {0, 1, 2, 5, 6}, allBonuses, 5, 7, 50},
        {6, {0, 1, 2, 3, 5, 6}, allBonuses, 6, 7, 60},
        {7, {0, 1, 2, 3, 4, 5, 6}, allBonuses, 7, 7, 70},
        {8, {0, 1, 2, 3, 4, 5, 6}, allBonuses, 7, 7, 80},
        {31, {0, 1, 2, 3, 4, 5, 6}, allBonuses, 7, 7, 310},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Level);
        const TLevelConfig got = TLevelConfig::ForLevel(c.Level);
        for (int32_t i = 0; i < 7; ++i)
            EXPECT_EQ(got.EnemyEnabled[static_cast<size_t>(i)], c.Enemies.contains(i)) << i;
        for (int32_t i = 0; i <= 10; ++i)
            EXPECT_EQ(got.BonusEnabled[static_cast<size_t>(i)], c.Bonuses.contains(i)) << i;
        EXPECT_EQ(got.EnemyTypeCount, c.EnemyTypeCount);
        EXPECT_EQ(got.BonusTypeCount, c.BonusTypeCount);
        EXPECT_EQ(got.MonstersLeft, c.MonstersLeft);
    }
}

TEST(LevelConfig, ApplyingReplacesTheWholeMixOfTheLevelBefore) {
    TGameState state;
    TLevelConfig::ForLevel(9).ApplyTo(state.Progress);
    state.Progress.MonstersLeft = -3; // overshot by the last kills
    TLevelConfig::ForLevel(2).ApplyTo(state.Progress);
    for (int32_t i = 0; i < 7; ++i)
        EXPECT_EQ(state.Progress.EnemyEnabled[static_cast<size_t>(i)], i <= 1) << i;
    EXPECT_FALSE(state.Progress.BonusEnabled[3]);
    EXPECT_FALSE(state.Progress.BonusEnabled[8]);
    EXPECT_TRUE(state.Progress.BonusEnabled[10]);
    EXPECT_EQ(state.Progress.EnemyTypeCount, 2);
    EXPECT_EQ(state.Progress.BonusTypeCount, 5);
    EXPECT_EQ(state.Progress.MonstersLeft, 20);
}

} // namespace
} // namespace vantorel

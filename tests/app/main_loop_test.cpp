#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantorel {
namespace {

TEST(MainLoopScenario, TheCloseRequestAsksAndYesEndsTheLoop) {
    testing::TScenario game(7);
    game.CloseRequest(5);
    game.Press(8, TKey::Y);
    EXPECT_EQ(game.RunFrames(30), 9); // "Y" arrives after frame 8; frame 9 answers it
    EXPECT_TRUE(game.Ended());
    EXPECT_FALSE(game.Loop->RunOnce());
    // Leaving through the question saved the table and the options.
    EXPECT_TRUE(std::filesystem::exists(game.Folder / "Data/Save/hs"));
    EXPECT_TRUE(std::filesystem::exists(game.Folder / "Data/Save/options"));
}

TEST(MainLoopScenario, FramesAdvanceTheClockAtTheDisplaysRate) {
    testing::TScenario game;
    const uint32_t start = game.Desktop.Now;
    ASSERT_EQ(game.RunFrames(120), 120);
    EXPECT_EQ(game.Desktop.Now - start, 2000u);
    // The first frame fires as the timer starts, so the first second counts 61.
    EXPECT_NEAR(game.Form->MDXTimer.FrameRate(), 60, 1);
    EXPECT_EQ(game.State().Timing.FrameMs, 16);
    EXPECT_EQ(game.LastFrame().size(), 800u * 600u);
}

TEST(MainLoopScenario, AnInactiveWindowShowsNoFramesUntilItIsBack) {
    testing::TScenario game;
    game.RunFrames(3);
    TPlatformEvent lost;
    lost.Kind = TEventKind::FocusLost;
    game.Desktop.Events.Push(lost);
    for (int i = 0; i < 10; ++i) {
        game.Desktop.Now += 20;
        game.Loop->RunOnce();
    }
    EXPECT_EQ(game.Frames(), 3);
    TPlatformEvent gained;
    gained.Kind = TEventKind::FocusGained;
    game.Desktop.Events.Push(gained);
    EXPECT_EQ(game.RunFrames(2), 2);
}

} // namespace
} // namespace vantorel

#include "gameplay/game_over_window.hpp"
#include "gameplay/level_banner_window.hpp"
#include "gameplay/pause_window.hpp"

#include "engine/display.hpp"
#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "engine/surface.hpp"
#include "platform/sdl_font_renderer.hpp"
#include "platform/video_output.hpp"
#include "state/game_context.hpp"
#include "support/fake_shell.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

using TCalls = std::vector<std::string>;

/// A game's context with no display: the windows draw nothing and only their
/// timers and their calls on the shell are seen.
struct GameWindows : ::testing::Test {
    TGameState state;
    TDXSpriteEngine sprites;
    TDXImageList images1, images2;
    TFakeShell shell{state};
    TGameContext ctx{state, sprites, images1, images2, shell, shell};

    /// Opens window as the main window does, then ticks it until it asks to
    /// close or maxFrames pass; the number of ticks run.
    int32_t RunUntilClosed(IModalWindow& window, int32_t maxFrames) {
        state.Cursor.WindowKind = window.Kind();
        window.Open();
        for (int32_t frame = 1; frame <= maxFrames; ++frame) {
            window.Tick(state.Timing.FrameMs);
            if (state.Cursor.WindowKind != window.Kind())
                return frame;
        }
        return 0;
    }
};

TEST_F(GameWindows, TimedWindowsCloseWhenTheCountdownNoLongerFits) {
    struct Case {
        const char* Name;
        bool GameOver;
        int32_t FrameMs;
        int32_t ClosingFrame;
    };
    const Case cases[] = {
        {"banner at 16 ms", false, 16, 126}, // 125 whole steps fit into 2000
        {"banner at 15 ms", false, 15, 134}, // 133 x 15 = 1995, 5 ms left over
        {"banner at 20 ms", false, 20, 101},   {"banner at 2001 ms", false, 2001, 1},
        {"game over at 16 ms", true, 16, 188}, // 187 x 16 = 2992
        {"game over at 11 ms", true, 11, 273},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        state = TGameState{};
        state.Timing.FrameMs = c.FrameMs;
        state.Progress.Score = 0; // never qualifies against an empty table
        shell.Calls.clear();
        TLevelBannerWindow banner(ctx);
        TGameOverWindow gameOver(ctx);
        IModalWindow& window = c.GameOver ? static_cast<IModalWindow&>(gameOver) : banner;
        EXPECT_EQ(RunUntilClosed(window, 1000), c.ClosingFrame);
        EXPECT_EQ(state.Cursor.WindowCountdown, (c.GameOver ? 3000 : 2000) % c.FrameMs);
        ASSERT_FALSE(shell.Calls.empty());
        EXPECT_EQ(shell.Calls.front(), "CloseWindow");
    }
}

TEST_F(GameWindows, OpeningAgainRestartsTheCountdown) {
    TLevelBannerWindow banner(ctx);
    state.Timing.FrameMs = 16;
    banner.Open();
    banner.Tick(16);
    banner.Tick(16);
    EXPECT_EQ(state.Cursor.WindowCountdown, 2000 - 32);
    banner.Open();
    EXPECT_EQ(state.Cursor.WindowCountdown, 2000);
    TGameOverWindow gameOver(ctx);
    gameOver.Open();
    EXPECT_EQ(state.Cursor.WindowCountdown, 3000);
}

TEST_F(GameWindows, GameOverOpensTheNameEntryOnlyForAQualifyingScore) {
    struct Case {
        const char* Name;
        int32_t Score;
        TCalls Expected;
    };
    const TCalls toMenu = {"CloseWindow", "EndGame", "BuildMainMenu 0 3 1"};
    const Case cases[] = {
        {"below the lowest entry", 99, toMenu},
        {"equal to the lowest entry", 100, toMenu},
        {"one point more", 101, {"CloseWindow", "OpenWindow 8"}},
        {"best score", 100000, {"CloseWindow", "OpenWindow 8"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        state = TGameState{};
        for (int32_t rank = 1; rank <= HighScoreTable::Ranked; ++rank)
            state.Saved.HighScores[rank] = {"Ace", 1100 - 100 * rank};
        state.Saved.HighScores[HighScoreTable::Spare] = {"Spare", 0}; // never looked at
        state.Progress.Score = c.Score;
        state.Timing.FrameMs = 16;
        shell.Calls.clear();
        TGameOverWindow window(ctx);
        EXPECT_EQ(RunUntilClosed(window, 1000), 188);
        EXPECT_EQ(shell.Calls, c.Expected);
    }
}

TEST_F(GameWindows, PauseClosesOnPOrEscPressedThisFrame) {
    struct Case {
        const char* Name;
        bool P, Esc, PHeldBefore;
        bool Closes;
    };
    const Case cases[] = {
        {"nothing", false, false, false, false},
        {"P", true, false, false, true},
        {"Esc", false, true, false, true},
        {"both", true, true, false, true},
        {"P only held from before", false, false, true, false},
    };
    TPauseWindow pause(ctx);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        shell.Calls.clear();
        state.Cursor.WindowKind = TWindowKind::Pause;
        state.Cursor.WindowCountdown = 1234; // a banner's, say: the pause keeps it
        pause.Open();
        // A key held from before is not pressed this frame.
        state.Input = {};
        state.Input.SetPressed(TInputKey::P, c.P && !c.PHeldBefore);
        state.Input.SetPressed(TInputKey::Esc, c.Esc);
        pause.Tick(16);
        EXPECT_EQ(shell.Calls, c.Closes ? TCalls{"CloseWindow"} : TCalls{});
        // The pause has no countdown of its own and leaves the one it found.
        EXPECT_EQ(state.Cursor.WindowCountdown, 1234);
    }
}

TEST_F(GameWindows, EachWindowKnowsItsKind) {
    EXPECT_EQ(TPauseWindow(ctx).Kind(), TWindowKind::Pause);
    EXPECT_EQ(TLevelBannerWindow(ctx).Kind(), TWindowKind::LevelBanner);
    EXPECT_EQ(TGameOverWindow(ctx).Kind(), TWindowKind::GameOver);
}

/// With a display, the windows write their text into the middle of the frame.
struct GameWindowsOnDisplay : GameWindows {
    void SetUp() override {
        ASSERT_TRUE(
            fonts.LoadAliases(std::string(VANTOREL_TEST_DATA) + "/../../assets/fonts/fonts.conf"));
        sprites.SetDXDraw(&draw);
        draw.Initialize();
    }
    void TearDown() override { sprites.SetDXDraw(nullptr); }

    /// Columns of the row band 280..320 that hold a non-black pixel.
    std::pair<int32_t, int32_t> InkedColumns() {
        TDirectDrawSurface& s = *draw.Surface();
        int32_t left = s.Width(), right = -1;
        for (int32_t y = 280; y < 320; ++y)
            for (int32_t x = 0; x < s.Width(); ++x)
                if ((s.Row(y)[x] & 0xFFFFFFu) != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return {left, right};
    }

    TNullVideoOutput output;
    TSdlFontRenderer fonts;
    TDXDraw draw{&output, &fonts};
};

TEST_F(GameWindowsOnDisplay, TextIsCentredOnTheMiddleOfTheScreen) {
    TPauseWindow pause(ctx);
    TLevelBannerWindow banner(ctx);
    TGameOverWindow gameOver(ctx);
    state.Progress.Level = 12;
    for (IModalWindow* window : std::initializer_list<IModalWindow*>{&pause, &banner, &gameOver}) {
        SCOPED_TRACE(static_cast<int>(window->Kind()));
        draw.Surface()->Fill(0);
        window->Open();
        window->Tick(16);
        const auto [left, right] = InkedColumns();
        ASSERT_LE(left, right) << "nothing drawn";
        EXPECT_NEAR((left + right) / 2.0, 400.0, 3.0);
    }
}

} // namespace
} // namespace vantorel

#include "app/main_window.hpp"

#include "app/required_data.hpp"

#include "platform/video_output.hpp"
#include "support/null_desktop.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <string>
#include <unistd.h>
#include <vector>

namespace vantorel {
namespace {

namespace fs = std::filesystem;

/// A main window on the null output and a hand-moved clock, started in an empty
/// working directory (no Data folder).
struct FormFixture : ::testing::Test {
    fs::path oldDir;
    fs::path dir;
    testing::TNullDesktop desktop;
    uint32_t& now = desktop.Now;
    TNullVideoOutput& output = desktop.Video;
    std::unique_ptr<TMForm> form;
    std::vector<std::string>& errors = desktop.Errors;
    std::vector<int32_t> lags;

    void SetUp() override {
        oldDir = fs::current_path();
        dir = fs::temp_directory_path() / ("vantorel_form_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        fs::current_path(dir);
        form = std::make_unique<TMForm>(desktop.Services(), 1u);
    }
    void TearDown() override {
        form.reset();
        fs::current_path(oldDir);
        fs::remove_all(dir);
    }
    /// The game's data folder, without its saved files (which tests write here).
    void UseGameData() {
        for (const char* part : {"Res", "Music", "Fonts"}) {
            fs::create_directories("Data");
            fs::create_directory_symlink(fs::path(VANTOREL_BUILD_DIR) / "Data" / part,
                                         fs::path("Data") / part);
        }
    }
    /// Records each LagCount on its way into the frame.
    void RecordLags() {
        auto frame = form->MDXTimer.OnTimer;
        form->MDXTimer.OnTimer = [this, frame](int32_t lag) {
            lags.push_back(lag);
            frame(lag);
        };
    }
    void Run(int frames, uint32_t stepMs) {
        for (int i = 0; i < frames; ++i) {
            now += stepMs;
            form->Idle();
        }
    }
};

TEST_F(FormFixture, StartsWindowedAndRunsFramesThatClearAndPresent) {
    UseGameData();
    output.SetRefreshRate(60);
    form->FormCreate();
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(form->MDXDraw.Initialized());
    EXPECT_FALSE(output.IsFullScreen());
    EXPECT_EQ(form->MDXDraw.Display.BitCount(), 32);
    EXPECT_EQ(form->State.Timing.RefreshRate, 60);
    EXPECT_EQ(form->State.Cursor.ScreenCode, TScreenCode::MainMenu);

    form->StartFrames(true);
    form->MDXDraw.Surface()->Fill(0xFFFFFF); // left over from before: the frame clears it
    Run(1, 16);
    EXPECT_EQ(output.PresentCount(), 1);
    EXPECT_NE(output.LastFrame().front(), 0xFFFFFFu);
    // First second: the refresh rate alone sets the quantities.
    EXPECT_DOUBLE_EQ(form->State.Timing.FrameFactor, 85.0 / 60);
    EXPECT_EQ(form->State.Timing.FrameMs, 16);

    Run(62, 16); // 63 frames in 1008 ms: 62.5 -> 62 fps, just above the refresh
    EXPECT_EQ(form->MDXTimer.FrameRate(), 62);
    EXPECT_DOUBLE_EQ(form->State.Timing.FrameFactor, 85.0 / 62);
    EXPECT_EQ(output.PresentCount(), 63);
}

TEST_F(FormFixture, FramesStopWhileInactiveAndResumeWithASmallLag) {
    form->FormCreate();
    form->StartFrames(true);
    RecordLags();
    Run(2, 16);

    TPlatformEvent e;
    e.Kind = TEventKind::FocusLost;
    form->HandleEvent(e);
    Run(3, 5000);
    EXPECT_EQ(output.PresentCount(), 2);

    e.Kind = TEventKind::FocusGained;
    form->HandleEvent(e);
    Run(1, 17);
    EXPECT_EQ(lags, (std::vector<int32_t>{16, 16, 17}));
    EXPECT_EQ(output.PresentCount(), 3);
}

TEST_F(FormFixture, FullScreenSwitchesBackAndForth) {
    form->FormCreate();
    form->State.Saved.Options.FullScreen = 1;
    form->SetDisplayMode();
    EXPECT_TRUE(output.IsFullScreen());
    EXPECT_TRUE(form->MDXDraw.FlipDriver());
    form->State.Saved.Options.FullScreen = 0;
    form->SetDisplayMode();
    EXPECT_FALSE(output.IsFullScreen());
    EXPECT_FALSE(form->MDXDraw.FlipDriver());
    EXPECT_TRUE(form->MDXDraw.IsReadyToDraw());
}

// A display that refuses full screen used to fail every launch with the option
// saved on; the game now keeps its window and turns the option off.
TEST_F(FormFixture, ARefusedFullScreenKeepsTheWindowAndTurnsTheOptionOff) {
    UseGameData();
    fs::create_directories("Data/Save");
    { std::ofstream("Data/Save/options", std::ios::binary) << "1\r\n1\r\n1\r\nabc\r\n\r\n"; }
    output.FailFullScreen = true;
    ASSERT_TRUE(form->FormCreate());
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(output.IsFullScreen());
    EXPECT_EQ(form->State.Saved.Options.FullScreen, 0);
    form->StartFrames(true);
    Run(3, 16);
    EXPECT_EQ(output.PresentCount(), 3);
}

TEST_F(FormFixture, AMissingOrBrokenDataFileIsNamedAndEndsTheProgramUnsaved) {
    EXPECT_FALSE(form->FormCreate());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("\"Data/Res/Res1.dxg\" is missing"), std::string::npos) << errors[0];
    EXPECT_TRUE(form->Terminated());

    errors.clear();
    fs::create_directories("Data/Res");
    { std::ofstream("Data/Res/Res1.dxg") << "not a library"; }
    form = std::make_unique<TMForm>(desktop.Services(), 1u);
    EXPECT_FALSE(form->FormCreate());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("\"Data/Res/Res1.dxg\" cannot be read: Invalid stream format"),
              std::string::npos)
        << errors[0];
    EXPECT_FALSE(fs::exists("Data/Save"));
}

// A library that lacks a picture the game uses would fail in the middle of a game;
// start-up names what is missing, by file, and ends before anything is saved.
TEST_F(FormFixture, MissingPicturesAndSoundsAreNamedAtStartUp) {
    UseGameData();
    ASSERT_TRUE(form->FormCreate());
    EXPECT_EQ(MissingDataNames(TGamePaths::InWorkingFolder(), form->MDXImageList1,
                               form->MDXImageList2, form->MDXWaveList),
              "");

    // Res1 in place of Res2: none of the world's pictures are there.
    fs::remove("Data/Res");
    fs::create_directories("Data/Res");
    for (const char* f : {"Res1.dxg", "Sounds.dxw"})
        fs::create_symlink(fs::path(VANTOREL_BUILD_DIR) / "Data/Res" / f, fs::path("Data/Res") / f);
    fs::create_symlink(fs::path(VANTOREL_BUILD_DIR) / "Data/Res/Res1.dxg", "Data/Res/Res2.dxg");
    errors.clear();
    form = std::make_unique<TMForm>(desktop.Services(), 1u);
    EXPECT_FALSE(form->FormCreate());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("\"Data/Res/Res2.dxg\" lacks: SkyTile, Hills1"), std::string::npos)
        << errors[0];
    EXPECT_EQ(errors[0].find("Res1.dxg"), std::string::npos) << errors[0];
    EXPECT_FALSE(fs::exists("Data/Save"));
}

TEST_F(FormFixture, ClosingTheWindowAsksFirst) {
    UseGameData();
    ASSERT_TRUE(form->FormCreate());
    form->StartFrames(true);
    TPlatformEvent e;
    e.Kind = TEventKind::CloseRequest;
    form->HandleEvent(e);
    // The request comes with the next frame's input, and is answered in that frame.
    Run(1, 16);
    EXPECT_FALSE(form->Terminated());
    EXPECT_EQ(form->State.Cursor.WindowKind, form->State.Cursor.ScreenCode == TScreenCode::Game
                                                 ? TWindowKind::ExitToMenu
                                                 : TWindowKind::ExitGame);
}

TEST_F(FormFixture, TheSessionEndingSavesAndQuitsOnce) {
    UseGameData();
    ASSERT_TRUE(form->FormCreate());
    TPlatformEvent e;
    e.Kind = TEventKind::Quit;
    form->HandleEvent(e);
    EXPECT_TRUE(form->Terminated());
    EXPECT_TRUE(fs::exists("Data/Save/hs"));
    EXPECT_TRUE(fs::exists("Data/Save/options"));
    fs::remove("Data/Save/hs");
    form->ExitGame();
    EXPECT_FALSE(fs::exists("Data/Save/hs"));
}

} // namespace
} // namespace vantorel

// Kept games watched in the game's window: from the high-score table, as the
// main menu's demo and from the command line's replay file. A game is played and
// kept first, as a player would, then watched through the real main loop.
#include "app/attract_mode.hpp"
#include "app/replay_viewer.hpp"
#include "menus/high_scores_screen.hpp"
#include "menus/menu_screens.hpp"
#include "objects/player.hpp"
#include "replay/replay_file.hpp"
#include "replay/rules_identity.hpp"
#include "storage/file_bytes.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantorel {
namespace {

namespace fs = std::filesystem;
using testing::TScenario;

/// Every file under folder with its bytes.
std::map<fs::path, std::string> FilesUnder(const fs::path& folder) {
    std::map<fs::path, std::string> files;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec))
        if (e.is_regular_file())
            files[e.path()] = ReadFileBytes(e.path(), size_t{16} << 20).Bytes;
    return files;
}

class ReplayViewer : public ::testing::Test {
protected:
    TGameState& S() { return game.State(); }
    TMForm& Form() { return *game.Form; }
    TReplayViewer& Viewer() { return game.Form->Viewer(); }
    THighScoresScreen& Table() { return game.Form->Menus().HighScores; }

    void Key(TKey key) {
        game.Press(game.Frames(), key);
        game.RunFrames(2);
    }
    void Type(const std::string& text) {
        for (const char c : text) {
            game.Char(game.Frames(), static_cast<uint8_t>(c));
            game.RunFrames(1);
        }
    }
    void Enter() {
        game.KeyDown(game.Frames(), TKey::Enter);
        game.Char(game.Frames(), 13);
        game.KeyUp(game.Frames() + 1, TKey::Enter);
        game.RunFrames(2);
    }
    bool MenuReady() {
        return game.RunUntil(
            [&] {
                return S().Cursor.ScreenCode == TScreenCode::MainMenu &&
                       S().Cursor.WindowKind == TWindowKind::None &&
                       !Form().Menus().MainMenu.IntroRunning();
            },
            900);
    }

    /// Plays a short game from the main menu, firing and steering, leaves it,
    /// signs it "ACE" in a table it makes (every rank scored below it) and says
    /// no to sending it: the high-score screen is up. The replay it kept is in
    /// recorded.
    void PlayAndKeepAGame() {
        ASSERT_TRUE(MenuReady());
        for (int32_t r = 1; r <= HighScoreTable::Ranked; ++r)
            S().Saved.HighScores[r] = {"PILOT" + std::to_string(r), -r};
        Form().ReplayKept = [this](const TReplay& r) { recorded = r; };
        Enter();
        ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::Game);
        ASSERT_TRUE(game.RunUntil(
            [&] {
                return Form().Fixed.Player != nullptr &&
                       Form().Fixed.Player->State == TPlayerState::Flying;
            },
            600));
        game.KeyDown(game.Frames(), TKey::Space);
        game.KeyDown(game.Frames(), TKey::Right);
        game.RunFrames(40);
        game.KeyUp(game.Frames(), TKey::Right);
        game.KeyDown(game.Frames(), TKey::Up);
        game.RunFrames(30);
        game.KeyUp(game.Frames(), TKey::Up);
        game.RunFrames(150);
        game.KeyUp(game.Frames(), TKey::Space);
        game.RunFrames(2);
        Key(TKey::Escape);
        ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::ExitToMenu);
        Key(TKey::Y);
        ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::NameEntry);
        Type("ACE");
        Enter();
        ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::SendQuestion);
        Key(TKey::N);
        ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::HighScores);
        ASSERT_TRUE(recorded.has_value());
        ASSERT_EQ(recorded->Name, "ACE");
        for (int32_t r = 1; r <= HighScoreTable::Ranked; ++r) {
            if (S().Saved.HighScores[r].Name == "ACE")
                aceRank = r;
        }
        ASSERT_NE(aceRank, 0);
    }

    /// From the high-score screen's Back item, up over Visit and Clear onto the
    /// lowest row with a replay, and Enter.
    void WatchFromTable() {
        Key(TKey::Up);
        Key(TKey::Up);
        Key(TKey::Up);
        ASSERT_EQ(Table().LitRow(), aceRank);
        Enter();
        ASSERT_TRUE(Viewer().Watching());
    }

    /// Runs displayed frames until watching has returned.
    void WatchToTheEnd() {
        ASSERT_TRUE(game.RunUntil(
            [&] {
                if (Viewer().Watching() && Viewer().Playback()->Done() && !scoreAtEnd)
                    scoreAtEnd = S().Progress.Score;
                return !Viewer().Watching();
            },
            20000));
    }

    TScenario game{3};
    std::optional<TReplay> recorded;
    std::optional<int32_t> scoreAtEnd;
    int32_t aceRank = 0;
};

TEST_F(ReplayViewer, AGameWatchedFromTheTableEndsAsRecordedAndTouchesNoSavedFile) {
    PlayAndKeepAGame();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(Table().RowHasReplay(aceRank));
    for (int32_t r = 1; r <= HighScoreTable::Ranked; ++r) {
        if (r != aceRank) {
            EXPECT_FALSE(Table().RowHasReplay(r)) << "rank " << r;
        }
    }
    const HighScoreTable table = S().Saved.HighScores;
    const auto saved = FilesUnder(game.Folder / "Data" / "Save");
    ASSERT_FALSE(saved.empty());

    WatchFromTable();
    ASSERT_FALSE(HasFatalFailure());
    // The player's own keys never reach the watched game.
    game.KeyDown(game.Frames(), TKey::Left);
    game.KeyDown(game.Frames(), TKey::Ctrl);
    game.RunFrames(60);
    game.KeyUp(game.Frames(), TKey::Left);
    game.KeyUp(game.Frames(), TKey::Ctrl);
    WatchToTheEnd();
    ASSERT_FALSE(HasFatalFailure());

    EXPECT_EQ(Viewer().Failure(), "");
    ASSERT_TRUE(scoreAtEnd.has_value());
    EXPECT_EQ(*scoreAtEnd, recorded->FinalScore);
    EXPECT_EQ(S().Cursor.ScreenCode, TScreenCode::HighScores);
    EXPECT_EQ(S().Cursor.WindowKind, TWindowKind::None);
    EXPECT_EQ(Form().Fixed.Player, nullptr) << "the watched game's sprites are gone";
    EXPECT_EQ(S().Saved.HighScores.Entries, table.Entries);
    EXPECT_EQ(FilesUnder(game.Folder / "Data" / "Save"), saved)
        << "no save, option or replay file is written or removed";
}

TEST_F(ReplayViewer, SpeedKeysSetHowManyRecordedFramesADisplayedFramePlays) {
    PlayAndKeepAGame();
    ASSERT_FALSE(HasFatalFailure());
    WatchFromTable();
    ASSERT_FALSE(HasFatalFailure());
    game.RunFrames(10);

    struct TCase {
        const char* What;
        std::function<void()> Press;
        uint32_t PerFrame;
    };
    const std::vector<TCase> cases = {
        {"2", [&] { Type("2"); }, 2},
        {"4", [&] { Type("4"); }, 4},
        {"P pauses", [&] { Key(TKey::P); }, 0},
        {"P resumes at the speed set", [&] { Key(TKey::P); }, 4},
        {"Space pauses", [&] { Key(TKey::Space); }, 0},
        {"1 resumes at 1", [&] { Type("1"); }, 1},
    };
    for (const TCase& c : cases) {
        c.Press();
        const uint32_t before = Viewer().Playback()->FramesPlayed();
        const int64_t shown = game.RunFrames(10);
        EXPECT_EQ(shown, 10) << c.What << ": every displayed frame is shown once";
        EXPECT_EQ(Viewer().Playback()->FramesPlayed() - before, c.PerFrame * 10) << c.What;
        if (c.PerFrame == 0) {
            const std::vector<uint32_t> still = game.LastFrame();
            game.RunFrames(3);
            EXPECT_EQ(game.LastFrame(), still) << c.What << ": a paused replay stands still";
        }
    }
}

TEST_F(ReplayViewer, EscReturnsToTheTableAndAClickOnAMarkedRowWatchesIt) {
    PlayAndKeepAGame();
    ASSERT_FALSE(HasFatalFailure());
    WatchFromTable();
    ASSERT_FALSE(HasFatalFailure());
    game.RunFrames(30);
    ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::Game);
    Key(TKey::Escape);
    EXPECT_FALSE(Viewer().Watching());
    EXPECT_EQ(S().Cursor.ScreenCode, TScreenCode::HighScores);
    EXPECT_EQ(S().Cursor.ItemIndex, 3) << "Back is lit, as when the table opens";
    EXPECT_EQ(Form().Fixed.Player, nullptr);
    game.RunFrames(5);

    // A click on a row without a replay does what it always did: the lit item
    // (Back). A click on the marked row watches it.
    const int32_t x = 224;
    const int32_t rowY = 238 + 26 * (aceRank - 1);
    ASSERT_EQ(THighScoresScreen::RowAt(x, rowY), aceRank);
    game.MouseMove(game.Frames(), 0, 0, x, rowY);
    game.Click(game.Frames() + 1, x, rowY);
    game.RunFrames(3);
    EXPECT_TRUE(Viewer().Watching());
    Key(TKey::Escape);
    EXPECT_EQ(S().Cursor.ScreenCode, TScreenCode::HighScores);

    const int32_t otherRank = aceRank == 1 ? 2 : 1;
    const int32_t otherY = 238 + 26 * (otherRank - 1);
    game.MouseMove(game.Frames(), 0, 0, x, otherY);
    game.Click(game.Frames() + 1, x, otherY);
    game.RunFrames(3);
    EXPECT_FALSE(Viewer().Watching());
    EXPECT_EQ(S().Cursor.ScreenCode, TScreenCode::MainMenu) << "the lit Back item was performed";
}

TEST_F(ReplayViewer, TheMenuLeftAloneShowsTheDemoAndAnyInputBringsItBackAsItWas) {
    PlayAndKeepAGame();
    ASSERT_FALSE(HasFatalFailure());
    Key(TKey::Escape);
    ASSERT_TRUE(MenuReady());
    Key(TKey::Down);
    Key(TKey::Down);
    const int32_t lit = S().Cursor.ItemIndex;

    struct TCase {
        const char* What;
        std::function<void()> Act;
    };
    const std::vector<TCase> cases = {
        {"a key", [&] { game.Press(game.Frames(), TKey::A); }},
        {"a click", [&] { game.Click(game.Frames(), 700, 500); }},
        {"the pointer", [&] { game.MouseMove(game.Frames(), 3, 0, 703, 500); }},
        {"a pad button",
         [&] {
             TJoystickReading pad;
             pad.Kind = TJoystickKind::Gamepad;
             pad.SetPadButton(TPadButton::South, true);
             game.Pad(game.Frames(), pad);
             game.Pad(game.Frames() + 2, TJoystickReading{});
         }},
    };
    for (const TCase& c : cases) {
        // 30 s of frames at 60 Hz is 1875 frames of 16 ms; a little before, nothing.
        game.RunFrames(30000 / 16 - 20);
        EXPECT_FALSE(Viewer().Watching()) << c.What;
        ASSERT_TRUE(game.RunUntil([&] { return Viewer().Watching(); }, 60)) << c.What;
        EXPECT_EQ(Viewer().Mark(), TReplayMark::Demo);
        game.RunFrames(120);
        ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::Game) << c.What;
        c.Act();
        game.RunFrames(4);
        EXPECT_FALSE(Viewer().Watching()) << c.What;
        EXPECT_EQ(S().Cursor.ScreenCode, TScreenCode::MainMenu) << c.What;
        EXPECT_EQ(S().Cursor.WindowKind, TWindowKind::None) << c.What;
        EXPECT_EQ(S().Cursor.ItemIndex, lit) << c.What << ": the same item is lit";
        EXPECT_FALSE(Form().Menus().MainMenu.IntroRunning()) << c.What;
        EXPECT_NE(Form().Menus().MainMenu.UpLogo(), nullptr) << c.What;
        game.RunFrames(10);
        EXPECT_EQ(S().Cursor.ScreenCode, TScreenCode::MainMenu)
            << c.What << ": the input that ended the demo does nothing on the menu";
    }
}

TEST_F(ReplayViewer, OnlyPlayableReplaysAreWatched) {
    PlayAndKeepAGame();
    ASSERT_FALSE(HasFatalFailure());
    std::string why;
    const fs::path text = game.Folder / "notes.vrp";
    std::ofstream(text) << "not a replay";
    EXPECT_FALSE(TReplayViewer::ReadFile(text, why));
    EXPECT_NE(why.find("is not a replay"), std::string::npos) << why;
    EXPECT_FALSE(TReplayViewer::ReadFile(game.Folder / "missing.vrp", why));
    EXPECT_NE(why.find("no replay file"), std::string::npos) << why;

    for (const auto& change : std::vector<std::function<void(TReplay&)>>{
             [](TReplay& r) { ++r.RulesVersion; },
             [](TReplay& r) { r.DataHash ^= 1; },
         }) {
        TReplay other = *recorded;
        change(other);
        EXPECT_NE(Viewer().Watch(other, TReplayOrigin::Program, TReplayMark::Replay), "");
        EXPECT_FALSE(Viewer().Watching());
    }
    EXPECT_EQ(S().Cursor.ScreenCode, TScreenCode::HighScores) << "a refused replay changes nothing";

    // The demo's own choice: the table's best entry with a kept game.
    const std::optional<TReplay> pick = Form().Attract().PickReplay();
    ASSERT_TRUE(pick.has_value());
    EXPECT_EQ(pick->Name, "ACE");
}

} // namespace
} // namespace vantorel

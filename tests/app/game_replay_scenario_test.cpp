// A game played from window events is recorded as it goes and kept as a replay
// file; the replay plays back on another main window to the same score, checking
// the game's state every 60 frames, and a replay that was tampered with is caught.
#include "app/replay_playback.hpp"
#include "menus/menu_screens.hpp"
#include "objects/player.hpp"
#include "replay/replay_file.hpp"
#include "replay/rules_identity.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantorel {
namespace {

using testing::TScenario;

/// One game, played once for the whole suite: the menu, "New game", steering,
/// fire, a pause and a death or two, ended by "Exit to menu?" answered Yes.
class GameReplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        live_ = new TScenario(11);
        TScenario& live = *live_;
        TGameState& s = live.State();
        const auto run = [&](int64_t n) { live.RunFrames(n); };
        const auto press = [&](TKey key) {
            live.Press(live.Frames(), key);
            run(3);
        };
        ASSERT_TRUE(live.RunUntil(
            [&] {
                return s.Cursor.ScreenCode == TScreenCode::MainMenu &&
                       !live.Form->Menus().MainMenu.IntroRunning();
            },
            900));
        live.KeyDown(live.Frames(), TKey::Enter);
        live.Char(live.Frames(), 13);
        live.KeyUp(live.Frames() + 1, TKey::Enter);
        run(3);
        ASSERT_EQ(s.Cursor.ScreenCode, TScreenCode::Game);
        live.KeyDown(live.Frames(), TKey::Space);
        for (int i = 0; i < 12; ++i) {
            const TKey key = i % 2 == 0 ? TKey::Up : TKey::Down;
            live.KeyDown(live.Frames(), key);
            run(25 + 5 * i);
            live.KeyUp(live.Frames(), key);
            live.MouseMove(live.Frames(), 4, i - 6);
            run(20);
        }
        press(TKey::P);
        run(20);
        press(TKey::P);
        run(200);
        press(TKey::Escape);
        ASSERT_EQ(s.Cursor.WindowKind, TWindowKind::ExitToMenu);
        press(TKey::Y);
        ASSERT_NE(s.Cursor.ScreenCode, TScreenCode::Game);
        score_ = s.Progress.Score;
        level_ = s.Progress.Level;
        bytes_ = live.Form->FinishedGameReplay();
    }
    static void TearDownTestSuite() {
        delete live_;
        live_ = nullptr;
    }

    /// Plays replay on a fresh main window; the failure, or nullopt when it played
    /// back to its end. played gets the frames played.
    static std::optional<std::string> PlayBack(const TReplay& replay, uint32_t* played = nullptr,
                                               int32_t* score = nullptr,
                                               bool anyScoreQualifies = false) {
        TScenario watcher(99);
        watcher.Form->DrawFrames = false;
        if (anyScoreQualifies)
            for (int32_t slot = 1; slot <= HighScoreTable::Ranked; ++slot)
                watcher.State().Saved.HighScores[slot] = {"", 0};
        TReplayPlayback playback(*watcher.Form, replay);
        while (playback.Step()) {
        }
        if (played != nullptr)
            *played = playback.FramesPlayed();
        if (score != nullptr)
            *score = watcher.State().Progress.Score;
        return playback.Failure();
    }

    static TReplay Replay() { return DecodeReplay(bytes_); }

    static TScenario* live_;
    static int32_t score_;
    static int32_t level_;
    static std::vector<uint8_t> bytes_;
};

TScenario* GameReplay::live_ = nullptr;
int32_t GameReplay::score_ = 0;
int32_t GameReplay::level_ = 0;
std::vector<uint8_t> GameReplay::bytes_;

TEST_F(GameReplay, IsKeptBesideTheSavesWithTheGamesEnd) {
    ASSERT_FALSE(bytes_.empty());
    const TReplay r = Replay();
    EXPECT_GT(score_, 0) << "the scripted game scores, so that the check has a score to compare";
    EXPECT_EQ(r.FinalScore, score_);
    EXPECT_EQ(r.FinalLevel, level_);
    EXPECT_EQ(r.RulesVersion, kRulesVersion);
    EXPECT_EQ(r.DataHash, live_->Form->DataHash());
    EXPECT_GT(r.FrameCount, 600u);
    const auto kept = live_->Form->Replays().List();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(std::filesystem::equivalent(kept[0].Path.parent_path(),
                                            live_->Folder / "Data" / "Save" / "Replays"));
    EXPECT_EQ(kept[0].Score, score_);
}

TEST_F(GameReplay, PlaysBackToTheSameEndOnAnotherMainWindow) {
    uint32_t played = 0;
    int32_t score = -1;
    const auto failure = PlayBack(Replay(), &played, &score);
    EXPECT_EQ(failure, std::nullopt) << *failure;
    EXPECT_EQ(played, Replay().FrameCount);
    EXPECT_EQ(score, score_);
}

// The table of the machine that plays the replay back decides whether the game
// over opens the name entry or goes to the main menu: the check must not care.
TEST_F(GameReplay, PlaysBackTheSameWhicheverTableThePlayingMachineHas) {
    ASSERT_FALSE(live_->State().ScoreQualifies()) << "recorded on the default table";
    const auto failure = PlayBack(Replay(), nullptr, nullptr, true);
    EXPECT_EQ(failure, std::nullopt) << *failure;
}

// Each change a forger or a damaged file could make is caught: by the file's own
// checks, by the rules' identity before the first frame, or by the playback at
// the first state hash or end that no longer agrees.
TEST_F(GameReplay, RefusesAReplayThatWasChanged) {
    struct Case {
        const char* Name;
        std::function<void(TReplay&)> Change;
        const char* Reason;
    };
    const Case cases[] = {
        {"an edited score", [](TReplay& r) { r.FinalScore += 100; }, "the replay says"},
        {"an edited level", [](TReplay& r) { r.FinalLevel += 1; }, "the replay says"},
        {"a flipped input bit: fire let go for a while",
         [](TReplay& r) {
             for (TInputRun& run : r.Inputs)
                 run.Input.SetHeldBy(TFireControl::Space, false);
         },
         "differs from the recording"},
        {"another seed", [](TReplay& r) { r.Seed ^= 1; }, "differs from the recording"},
        {"other rules", [](TReplay& r) { r.RulesVersion = kRulesVersion + 1; }, "rules version"},
        {"other data", [](TReplay& r) { r.DataHash ^= 1; }, "other game data"},
        {"a frame rate no display runs at", [](TReplay& r) { r.FrameRates[0].RateHz = 0; },
         "frame rate of 0 Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TReplay r = Replay();
        c.Change(r);
        const auto failure = PlayBack(DecodeReplay(EncodeReplay(r)));
        ASSERT_TRUE(failure.has_value());
        EXPECT_NE(failure->find(c.Reason), std::string::npos) << *failure;
    }
}

TEST_F(GameReplay, RefusesADamagedFile) {
    std::vector<uint8_t> flipped = bytes_;
    flipped[flipped.size() / 2] ^= 0x10;
    std::vector<uint8_t> truncated(bytes_.begin(), bytes_.end() - 7);
    for (const auto& bytes : {flipped, truncated})
        EXPECT_THROW(DecodeReplay(bytes), EReplayFileError);
}

} // namespace
} // namespace vantorel

// The saved files as a player meets them: whatever lies in Data/Save when the
// game starts, real frames of the menus, and what the exit question leaves
// behind. Every file is written and read back byte by byte.
#include "menus/main_menu_screen.hpp"
#include "menus/menu_screens.hpp"
#include "storage/high_score_file.hpp"
#include "storage/high_score_table.hpp"
#include "support/byte_blobs.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace vantorel {
namespace {

namespace fs = std::filesystem;

const std::string kDefaultSignature = "\x28\xA7\x96\x7C\x7A\xE2\xF6\x52\x3E";

using test_support::ReadWholeFile;
using test_support::WriteWholeFile;

/// Ten players whose names hold bytes above 127, as a file from an older
/// Windows install would.
HighScoreTable Players() {
    HighScoreTable players;
    for (int32_t rank = 1; rank <= 10; ++rank)
        players[rank] = {"P\xE4ilot\xFF" + std::to_string(rank), 9000 - 500 * rank};
    return players;
}

std::string OptionsBytes(const std::string& signature, const std::string& addText = "Team") {
    return "0\r\n1\r\n0\r\n" + addText + "\r\n" + signature + "\r\n";
}

class SavedFiles : public ::testing::Test {
protected:
    /// Starts the game on the files that put() leaves in Data/Save.
    void Start(const std::function<void()>& put = {}) {
        game = std::make_unique<testing::TScenario>(5, nullptr, put);
        ASSERT_FALSE(game->Ended());
        ASSERT_TRUE(game->RunUntil(
            [&] {
                return S().Cursor.ScreenCode == TScreenCode::MainMenu &&
                       !game->Form->Menus().MainMenu.IntroRunning();
            },
            600));
    }
    TGameState& S() { return game->State(); }
    fs::path Save(const char* name) { return game->Folder / "Data/Save" / name; }

    void Key(TKey key) {
        game->Press(game->Frames(), key);
        game->RunFrames(2);
    }
    /// Enter, which arrives as the typed character 13.
    void Enter() {
        game->Char(game->Frames(), 13);
        game->RunFrames(1);
    }
    /// From the main menu to one of its items by the arrow keys, then Enter.
    void MainMenuItem(int32_t item) {
        for (int32_t guard = 0; S().Cursor.ItemIndex != item && guard < 6; ++guard)
            Key(TKey::Down);
        ASSERT_EQ(S().Cursor.ItemIndex, item);
        Enter();
    }
    /// The window's close button, then "Y" to "Exit the game?".
    void ExitThroughTheQuestion() {
        game->CloseRequest(game->Frames());
        game->RunFrames(2);
        ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::ExitGame);
        Key(TKey::Y);
        ASSERT_TRUE(game->Ended());
    }

    std::unique_ptr<testing::TScenario> game;
};

TEST_F(SavedFiles, AFirstStartShowsTheDefaultsAndTheExitWritesBothFiles) {
    Start();
    EXPECT_FALSE(fs::exists(game->Folder / "Data/Save")); // nothing written at start-up
    MainMenuItem(3);
    ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::HighScores);
    EXPECT_EQ(S().Saved.HighScores.Entries, HighScoreTable::Defaults().Entries);
    Key(TKey::Escape);
    ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::MainMenu);

    ExitThroughTheQuestion();
    EXPECT_EQ(ReadWholeFile(Save("options")),
              "0\r\n1\r\n1\r\n_______\r\n" + kDefaultSignature + "\r\n");
    EXPECT_EQ(ReadWholeFile(Save("hs")), FormatHighScores(HighScoreTable::Defaults()));
    EXPECT_TRUE(game->Desktop.Errors.empty());
}

TEST_F(SavedFiles, AMatchingPairComesBackByteForByteAfterAnOptionChange) {
    const HighScoreTable players = Players();
    const std::string hs = FormatHighScores(players);
    Start([&] {
        WriteWholeFile("Data/Save/hs", hs);
        WriteWholeFile("Data/Save/options", OptionsBytes(players.Signature()));
    });
    EXPECT_EQ(S().Saved.HighScores.Entries, players.Entries);
    EXPECT_EQ(S().Saved.Options.Music, 1);

    MainMenuItem(2); // the options screen
    ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::Options);
    for (int32_t guard = 0; S().Cursor.ItemIndex != 2 && guard < 6; ++guard)
        Key(TKey::Up); // from Back, at the bottom
    Enter();           // music off
    EXPECT_EQ(S().Saved.Options.Music, 0);
    Key(TKey::Escape);

    ExitThroughTheQuestion();
    EXPECT_EQ(ReadWholeFile(Save("hs")), hs); // names above 127 written back unchanged
    EXPECT_EQ(ReadWholeFile(Save("options")),
              "0\r\n0\r\n0\r\nTeam\r\n" + players.Signature() + "\r\n");
    EXPECT_FALSE(fs::exists(Save("hs.bad")));
    EXPECT_FALSE(fs::exists(Save("options.bad")));
}

/// Files the game cannot take as they are: the table goes back to the defaults
/// (or the options keep what could be read), the file is kept aside with
/// ".bad", and the exit writes a good pair.
struct BrokenPair {
    const char* Name;
    std::string Hs;
    std::string Options;
    const char* KeptAside; ///< the file found with ".bad" after start-up
    std::string OptionsAfterExit;
};

class BrokenFiles : public SavedFiles, public ::testing::WithParamInterface<BrokenPair> {};

TEST_P(BrokenFiles, AreKeptAsideAndTheExitWritesAGoodPair) {
    const BrokenPair& c = GetParam();
    Start([&] {
        WriteWholeFile("Data/Save/hs", c.Hs);
        WriteWholeFile("Data/Save/options", c.Options);
    });
    EXPECT_EQ(S().Saved.HighScores.Entries, HighScoreTable::Defaults().Entries);
    const std::string kept = std::string(c.KeptAside) + ".bad";
    EXPECT_EQ(ReadWholeFile(Save(kept.c_str())),
              std::string(c.KeptAside) == "hs" ? c.Hs : c.Options);

    ExitThroughTheQuestion();
    EXPECT_EQ(ReadWholeFile(Save("hs")), FormatHighScores(HighScoreTable::Defaults()));
    EXPECT_EQ(ReadWholeFile(Save("options")), c.OptionsAfterExit);
}

/// The players' table with one score raised by hand in a text editor.
std::string HandEditedTable() {
    std::string hs = FormatHighScores(Players());
    const size_t at = hs.find("8500");
    hs.replace(at, 4, "9999");
    return hs;
}

INSTANTIATE_TEST_SUITE_P(
    SavedFiles, BrokenFiles,
    ::testing::Values(
        BrokenPair{"HandEditedScore", HandEditedTable(), OptionsBytes(Players().Signature()), "hs",
                   OptionsBytes(kDefaultSignature)},
        BrokenPair{"WrongSignature", FormatHighScores(Players()),
                   OptionsBytes("\x01\x02\x03\x04\x05\x06\x07\x08\x09"), "hs",
                   OptionsBytes(kDefaultSignature)},
        BrokenPair{"TooFewTableLines", "Ace\r\n9000\r\nBob\r\n", OptionsBytes(kDefaultSignature),
                   "hs", OptionsBytes(kDefaultSignature)},
        // Options cut after the music flag: what was read stays, the rest are
        // the defaults, and with no signature the table cannot be trusted.
        BrokenPair{"TooFewOptionLines", FormatHighScores(Players()), "1\r\n0\r\n", "options",
                   "1\r\n0\r\n1\r\n_______\r\n" + kDefaultSignature + "\r\n"}),
    [](const ::testing::TestParamInfo<BrokenPair>& p) { return p.param.Name; });

TEST_F(SavedFiles, AnOverlongAddTextIsHeldToTheEditorsRules) {
    Start([&] {
        WriteWholeFile("Data/Save/hs", FormatHighScores(HighScoreTable::Defaults()));
        WriteWholeFile("Data/Save/options",
                       OptionsBytes(kDefaultSignature, "Red<Team>Alpha Bravo 7"));
    });
    // Only letters, digits and spaces, and at most 12 of them.
    EXPECT_EQ(S().Saved.Options.AddText, "RedTeamAlpha");
    MainMenuItem(2);
    ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::Options);
    Key(TKey::Escape);
    ExitThroughTheQuestion();
    EXPECT_EQ(ReadWholeFile(Save("options")), OptionsBytes(kDefaultSignature, "RedTeamAlpha"));
}

TEST_F(SavedFiles, AnUnreadableTableIsNeverOverwritten) {
    const HighScoreTable players = Players();
    Start([&] {
        fs::create_directories("Data/Save/hs/inside"); // there, but not a file to read
        WriteWholeFile("Data/Save/options", OptionsBytes(players.Signature()));
    });
    EXPECT_EQ(S().Saved.HighScores.Entries, HighScoreTable::Defaults().Entries);
    ExitThroughTheQuestion();
    EXPECT_TRUE(fs::is_directory(Save("hs") / "inside"));
    EXPECT_FALSE(fs::exists(Save("hs.bad")));
    // The options keep the signature of the table that is still there.
    EXPECT_EQ(ReadWholeFile(Save("options")), OptionsBytes(players.Signature()));
}

TEST_F(SavedFiles, AnUnreadableOptionsFileStopsTheSaveAndTheGameStillQuits) {
    const std::string hs = FormatHighScores(Players());
    Start([&] {
        WriteWholeFile("Data/Save/hs", hs);
        fs::create_directories("Data/Save/options");
    });
    ExitThroughTheQuestion();
    EXPECT_TRUE(fs::is_directory(Save("options")));
    EXPECT_EQ(ReadWholeFile(Save("hs")), hs);
    ASSERT_EQ(game->Desktop.Errors.size(), 1u); // the player is told the save failed
}

} // namespace
} // namespace vantorel

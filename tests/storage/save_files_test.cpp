#include "storage/save_files.hpp"

#include "printers.hpp"
#include "storage/high_score_file.hpp"
#include "storage/high_score_table.hpp"
#include "storage/options_record.hpp"
#include "temp_folder.hpp"

#include <gtest/gtest.h>

#include <string>

namespace vantorel {
namespace {

namespace fs = std::filesystem;

const std::string DefaultSignature = "\x28\xA7\x96\x7C\x7A\xE2\xF6\x52\x3E";

/// A table file of ten players with names holding bytes above 127, and its
/// signature; both written byte by byte.
struct SaveFilesTest : testing::TempFolderTest {
    TSaveFiles files{"Data/Save"};
    HighScoreTable table;
    OptionsRecord options;
    std::string hsBytes;
    std::string signature;

    void SetUp() override {
        TempFolderTest::SetUp();
        HighScoreTable players;
        for (int32_t rank = 1; rank <= 10; ++rank)
            players[rank] = {"P\xE4ilot\xFF" + std::to_string(rank), 5000 - 100 * rank};
        hsBytes = FormatHighScores(players);
        signature = players.Signature();
    }
    void Load() { files.Load(table, options); }
    std::string OptionsBytes(const std::string& sig, const std::string& addText = "Team") {
        return "0\r\n1\r\n0\r\n" + addText + "\r\n" + sig + "\r\n";
    }
};

TEST_F(SaveFilesTest, FirstStartUsesDefaultsAndExitCreatesTheFolder) {
    Load();
    EXPECT_EQ(table.Entries, HighScoreTable::Defaults().Entries);
    EXPECT_EQ(options, OptionsRecord{});
    EXPECT_FALSE(fs::exists("Data")); // nothing written at start-up

    ASSERT_TRUE(files.Save(table, options));
    EXPECT_EQ(Read("Data/Save/options"), "0\r\n1\r\n1\r\n_______\r\n" + DefaultSignature + "\r\n");
    EXPECT_EQ(Read("Data/Save/hs"), FormatHighScores(HighScoreTable::Defaults()));
    EXPECT_FALSE(fs::exists("Data/Save/hs.tmp"));
    EXPECT_FALSE(fs::exists("Data/Save/options.tmp"));

    // The next start takes both back as they are.
    TSaveFiles again{"Data/Save"};
    HighScoreTable table2;
    OptionsRecord options2;
    again.Load(table2, options2);
    EXPECT_EQ(table2.Entries, table.Entries);
    EXPECT_EQ(options2.AddText, "_______");
    EXPECT_EQ(options2.StoredSignature, DefaultSignature);
}

TEST_F(SaveFilesTest, MatchingPairIsKeptAndWrittenBackByteForByte) {
    Write("Data/Save/hs", hsBytes);
    Write("Data/Save/options", OptionsBytes(signature));
    Load();
    EXPECT_EQ(table[1], (HighScoreEntry{"P\xE4ilot\xFF"
                                        "1",
                                        4900}));
    EXPECT_EQ(options, (OptionsRecord{0, 1, 0, "Team", signature}));
    EXPECT_FALSE(fs::exists("Data/Save/hs.bad"));

    ASSERT_TRUE(files.Save(table, options));
    EXPECT_EQ(Read("Data/Save/hs"), hsBytes);
    EXPECT_EQ(Read("Data/Save/options"), OptionsBytes(signature));
}

TEST_F(SaveFilesTest, NewScoreChangesBothFilesTogether) {
    Write("Data/Save/hs", hsBytes);
    Write("Data/Save/options", OptionsBytes(signature));
    Load();
    table.Insert("Newcomer", 4750);
    ASSERT_TRUE(files.Save(table, options));
    EXPECT_EQ(Read("Data/Save/hs"), FormatHighScores(table));
    EXPECT_EQ(Read("Data/Save/options"), OptionsBytes(table.Signature()));
    EXPECT_NE(table.Signature(), signature);
}

TEST_F(SaveFilesTest, HandEditedTableIsResetAndKeptAside) {
    std::string edited = hsBytes;
    edited.replace(edited.find("4900"), 4, "9900");
    Write("Data/Save/hs", edited);
    Write("Data/Save/options", OptionsBytes(signature));
    Load();
    EXPECT_EQ(table.Entries, HighScoreTable::Defaults().Entries);
    EXPECT_EQ(Read("Data/Save/hs.bad"), edited);
    EXPECT_EQ(Read("Data/Save/hs"), edited); // not rewritten at start-up

    ASSERT_TRUE(files.Save(table, options));
    EXPECT_EQ(Read("Data/Save/hs"), FormatHighScores(HighScoreTable::Defaults()));
    EXPECT_EQ(Read("Data/Save/options"), OptionsBytes(DefaultSignature));
}

TEST_F(SaveFilesTest, MissingOptionsResetTheTable) {
    Write("Data/Save/hs", hsBytes);
    Load();
    EXPECT_EQ(table.Entries, HighScoreTable::Defaults().Entries);
    EXPECT_EQ(Read("Data/Save/hs.bad"), hsBytes);
}

TEST_F(SaveFilesTest, ShortTableFileIsKeptAsideAndReplaced) {
    Write("Data/Save/hs", "Ace\r\n9000\r\nBob\r\n");
    Write("Data/Save/options", OptionsBytes(signature));
    Load();
    EXPECT_EQ(table.Entries, HighScoreTable::Defaults().Entries);
    EXPECT_TRUE(files.TableWritable());
    EXPECT_EQ(Read("Data/Save/hs.bad"), "Ace\r\n9000\r\nBob\r\n");
}

TEST_F(SaveFilesTest, ShortOptionsFileKeepsWhatWasReadAndIsKeptAside) {
    Write("Data/Save/hs", hsBytes);
    Write("Data/Save/options", "1\r\n0\r\n");
    Load();
    EXPECT_EQ(options, (OptionsRecord{1, 0, 1, "_______", ""}));
    EXPECT_EQ(Read("Data/Save/options.bad"), "1\r\n0\r\n");
    EXPECT_EQ(table.Entries, HighScoreTable::Defaults().Entries); // no signature
    ASSERT_TRUE(files.Save(table, options));
    EXPECT_EQ(Read("Data/Save/options"), "1\r\n0\r\n1\r\n_______\r\n" + DefaultSignature + "\r\n");
}

TEST_F(SaveFilesTest, OverlongAddTextIsCutOnLoad) {
    Write("Data/Save/hs", hsBytes);
    Write("Data/Save/options", OptionsBytes(signature, "ABCDEFGHIJKLMNOPQRSTUVWXYZ!"));
    Load();
    EXPECT_EQ(options.AddText, "ABCDEFGHIJKL");
    EXPECT_EQ(table[1].Score, 4900); // the signature still matched
    ASSERT_TRUE(files.Save(table, options));
    EXPECT_EQ(Read("Data/Save/options"), OptionsBytes(signature, "ABCDEFGHIJKL"));
}

TEST_F(SaveFilesTest, UnreadableTableIsNeverOverwritten) {
    fs::create_directories("Data/Save/hs/inside"); // there, but no file to read
    Write("Data/Save/options", OptionsBytes(signature));
    Load();
    EXPECT_FALSE(files.TableWritable());
    EXPECT_TRUE(files.OptionsWritable());
    EXPECT_EQ(table.Entries, HighScoreTable::Defaults().Entries);

    options.FullScreen = 1;
    table.Insert("Lost", 99999);
    ASSERT_TRUE(files.Save(table, options));
    EXPECT_TRUE(fs::is_directory("Data/Save/hs/inside"));
    EXPECT_FALSE(fs::exists("Data/Save/hs.bad"));
    // The options keep the signature of the table that is still on disk.
    EXPECT_EQ(Read("Data/Save/options"), "1\r\n1\r\n0\r\nTeam\r\n" + signature + "\r\n");
}

TEST_F(SaveFilesTest, UnreadableOptionsStopTheWholeSave) {
    Write("Data/Save/hs", hsBytes);
    fs::create_directories("Data/Save/options");
    Load();
    EXPECT_FALSE(files.OptionsWritable());
    EXPECT_EQ(options, OptionsRecord{});
    EXPECT_FALSE(files.Save(table, options));
    EXPECT_TRUE(fs::is_directory("Data/Save/options"));
    EXPECT_EQ(Read("Data/Save/hs"), hsBytes);
    EXPECT_FALSE(fs::exists("Data/Save/hs.tmp"));
}

TEST_F(SaveFilesTest, FailedSaveLeavesBothOldFiles) {
    Write("Data/Save/hs", hsBytes);
    Write("Data/Save/options", OptionsBytes(signature));
    Load();
    fs::create_directories("Data/Save/hs.tmp"); // the table's temporary cannot be written
    table.Insert("Newcomer", 4750);
    options.Music = 0;
    EXPECT_FALSE(files.Save(table, options));
    EXPECT_EQ(Read("Data/Save/hs"), hsBytes);
    EXPECT_EQ(Read("Data/Save/options"), OptionsBytes(signature));
    EXPECT_FALSE(fs::exists("Data/Save/options.tmp"));
}

} // namespace
} // namespace vantorel

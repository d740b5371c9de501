#include "storage/high_score_file.hpp"

#include "printers.hpp"
#include "temp_folder.hpp"

#include <gtest/gtest.h>

#include <string>

namespace vantorel {
namespace {

/// Twenty CR LF lines: rank k named names[k-1] with score 1000 - k.
std::string TableBytes(const std::string (&names)[10]) {
    std::string bytes;
    for (int k = 1; k <= 10; ++k)
        bytes += names[k - 1] + "\r\n" + std::to_string(1000 - k) + "\r\n";
    return bytes;
}

TEST(HighScoreFile, NamesOfAnyBytesRoundTripExactly) {
    const std::string names[10] = {"ANONYMOUS", "J\xF6rg", "\xFF\x80\x01 x",
                                   "",          "  lead",  "trail  ",
                                   "a=b|c",     "\t",      "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                                   "z"};
    const std::string bytes = TableBytes(names);
    const auto table = ParseHighScores(bytes);
    ASSERT_TRUE(table.has_value());
    for (int32_t rank = 1; rank <= 10; ++rank)
        EXPECT_EQ((*table)[rank], (HighScoreEntry{names[rank - 1], 1000 - rank})) << rank;
    EXPECT_EQ((*table)[HighScoreTable::Spare], HighScoreEntry{});
    EXPECT_EQ(FormatHighScores(*table), bytes);
}

TEST(HighScoreFile, ReadsScoresAsTheGameAlwaysHas) {
    std::string bytes = "A\r\n  -42  trailing words\r\nB\r\n\r\n7\r\n";
    for (int k = 3; k <= 10; ++k)
        bytes += "N\n" + std::to_string(k) + "\n";
    const auto table = ParseHighScores(bytes);
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ((*table)[1], (HighScoreEntry{"A", -42}));
    EXPECT_EQ((*table)[2], (HighScoreEntry{"B", 7})); // blank line skipped before the number
    EXPECT_EQ((*table)[10], (HighScoreEntry{"N", 10}));
}

TEST(HighScoreFile, MalformedTables) {
    const std::string whole = FormatHighScores(HighScoreTable::Defaults());
    struct Case {
        const char* Label;
        std::string Bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"nineteen lines", whole.substr(0, whole.rfind("300\r\n"))},
        {"score not a number",
         "ANONYMOUS\r\nlots\r\n" + whole.substr(whole.find("ANONYMOUS\r\n2700"))},
        {"score beyond 32 bits",
         "ANONYMOUS\r\n2147483648\r\n" + whole.substr(whole.find("ANONYMOUS\r\n2700"))},
        {"digits then letters",
         "ANONYMOUS\r\n30x0\r\n" + whole.substr(whole.find("ANONYMOUS\r\n2700"))},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(ParseHighScores(c.Bytes).has_value()) << c.Label;
    EXPECT_TRUE(ParseHighScores(whole).has_value());
}

TEST(HighScoreFile, DefaultTableBytes) {
    EXPECT_EQ(FormatHighScores(HighScoreTable::Defaults()),
              "ANONYMOUS\r\n3000\r\nANONYMOUS\r\n2700\r\nANONYMOUS\r\n2400\r\nANONYMOUS\r\n2100\r\n"
              "ANONYMOUS\r\n1800\r\nANONYMOUS\r\n1500\r\nANONYMOUS\r\n1200\r\nANONYMOUS\r\n900\r\n"
              "ANONYMOUS\r\n600\r\nANONYMOUS\r\n300\r\n");
}

using HighScoreFileOnDisk = testing::TempFolderTest;

TEST_F(HighScoreFileOnDisk, LoadTellsMissingUnreadableAndMalformed) {
    const THighScoreLoad missing = LoadHighScoreFile("hs");
    EXPECT_EQ(missing.Status, TFileReadStatus::Missing);
    EXPECT_EQ(missing.Table.Entries, HighScoreTable::Defaults().Entries);

    std::filesystem::create_directory("hs");
    EXPECT_EQ(LoadHighScoreFile("hs").Status, TFileReadStatus::Unreadable);
    std::filesystem::remove("hs");

    Write("hs", "ONLY\r\n5\r\n");
    const THighScoreLoad cut = LoadHighScoreFile("hs");
    EXPECT_EQ(cut.Status, TFileReadStatus::Read);
    EXPECT_FALSE(cut.Complete);
    EXPECT_EQ(cut.Table.Entries, HighScoreTable::Defaults().Entries);
    EXPECT_EQ(cut.Bytes, "ONLY\r\n5\r\n");
}

TEST_F(HighScoreFileOnDisk, SaveCreatesTheFolderAndLeavesNoTemporary) {
    HighScoreTable table = HighScoreTable::Defaults();
    table.Insert("Pilot", 2500);
    ASSERT_TRUE(SaveHighScoreFile("Data/Save/hs", table));
    EXPECT_EQ(Read("Data/Save/hs"), FormatHighScores(table));
    EXPECT_FALSE(std::filesystem::exists("Data/Save/hs.tmp"));
}

} // namespace
} // namespace vantorel

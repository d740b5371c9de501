#include "storage/high_score_table.hpp"

#include "printers.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

HighScoreTable Ranked(std::vector<HighScoreEntry> rows) {
    HighScoreTable table;
    for (int32_t rank = 1; rank <= static_cast<int32_t>(rows.size()); ++rank)
        table[rank] = rows[static_cast<size_t>(rank - 1)];
    return table;
}

TEST(HighScoreTable, DefaultsAreAnonymousFrom3000Down) {
    const HighScoreTable table = HighScoreTable::Defaults();
    for (int32_t rank = 1; rank <= HighScoreTable::Ranked; ++rank)
        EXPECT_EQ(table[rank], (HighScoreEntry{"ANONYMOUS", 3300 - 300 * rank})) << rank;
    EXPECT_EQ(table[HighScoreTable::Spare], HighScoreEntry{});
}

TEST(HighScoreTable, ResetLeavesTheSpareAlone) {
    HighScoreTable table = Ranked({{"Ace", 99999}});
    table[HighScoreTable::Spare] = {"Dropped", 5};
    table.ResetToDefaults();
    EXPECT_EQ(table[1], (HighScoreEntry{"ANONYMOUS", 3000}));
    EXPECT_EQ(table[HighScoreTable::Spare], (HighScoreEntry{"Dropped", 5}));
}

TEST(HighScoreTable, SignatureOfTheDefaultTable) {
    const std::string expected = "\x28\xA7\x96\x7C\x7A\xE2\xF6\x52\x3E";
    EXPECT_EQ(HighScoreTable::Defaults().Signature(), expected);
    EXPECT_TRUE(HighScoreTable::Defaults().SignatureMatches(expected));
    EXPECT_FALSE(HighScoreTable::Defaults().SignatureMatches(expected.substr(0, 8)));
}

TEST(HighScoreTable, SignatureFoldsEveryNameAndScoreByte) {
    // One name "\xFF", the rest empty: L = 1. Position 1 folds 0xFF, then the
    // first digit of each of the ten scores ("9" for 9, "0" for the zeros).
    HighScoreTable table = Ranked({{"\xFF", 9}});
    int32_t s = (32 + 0xFF) % 224 + 32;
    s = (s + '9') % 224 + 32;
    for (int i = 0; i < 9; ++i)
        s = (s + '0') % 224 + 32;
    EXPECT_EQ(table.Signature(), std::string(1, static_cast<char>(s)));

    // The spare never enters; a changed score or name does.
    const std::string before = table.Signature();
    table[HighScoreTable::Spare] = {"Spare", 123456};
    EXPECT_EQ(table.Signature(), before);
    table[10].Score = 1;
    EXPECT_NE(table.Signature(), before);
}

TEST(HighScoreTable, SignatureOfEmptyNamesIsEmptyWhateverTheScores) {
    HighScoreTable table = Ranked({{"", -2147483647 - 1}, {"", 123456789}});
    EXPECT_EQ(table.Signature(), "");
    EXPECT_TRUE(table.SignatureMatches(""));
}

TEST(HighScoreTable, SignatureBytesStayIn32To255) {
    HighScoreTable table;
    for (int32_t rank = 1; rank <= HighScoreTable::Ranked; ++rank)
        table[rank] = {std::string(20, static_cast<char>(rank * 25)), -rank * 1000003};
    const std::string signature = table.Signature();
    ASSERT_EQ(signature.size(), 20u);
    for (char c : signature)
        EXPECT_GE(static_cast<unsigned char>(c), 32);
}

TEST(HighScoreTable, QualifiesOnlyAboveTheTenth) {
    const HighScoreTable table = HighScoreTable::Defaults();
    EXPECT_FALSE(table.Qualifies(300));
    EXPECT_TRUE(table.Qualifies(301));
    EXPECT_FALSE(table.Qualifies(-5));
}

TEST(HighScoreTable, InsertPlacesTheScoreAtItsRank) {
    struct Case {
        const char* Label;
        int32_t Score;
        int32_t Rank; // where "NEW" lands; 11 = dropped into the spare
    };
    const Case cases[] = {
        {"new best", 5000, 1},        {"between 4 and 5", 2000, 5},
        {"equals rank 3", 2400, 4}, // below the older equal entry
        {"one above tenth", 301, 10}, {"equals tenth", 300, 11},
        {"negative", -1, 11},
    };
    for (const Case& c : cases) {
        HighScoreTable table = HighScoreTable::Defaults();
        table.Insert("NEW", c.Score);
        EXPECT_EQ(table[c.Rank], (HighScoreEntry{"NEW", c.Score})) << c.Label;
        for (int32_t rank = 1; rank < HighScoreTable::Spare; ++rank)
            EXPECT_GE(table[rank].Score, table[rank + 1].Score) << c.Label << " rank " << rank;
        if (c.Rank <= HighScoreTable::Ranked) {
            EXPECT_EQ(table[HighScoreTable::Spare], (HighScoreEntry{"ANONYMOUS", 300})) << c.Label;
        }
    }
}

TEST(HighScoreTable, EqualScoresKeepTheirOrderAndTheLaterRanksBelow) {
    HighScoreTable table = HighScoreTable::Defaults();
    table.Insert("FIRST", 1000);
    table.Insert("SECOND", 1000);
    EXPECT_EQ(table[8], (HighScoreEntry{"FIRST", 1000}));
    EXPECT_EQ(table[9], (HighScoreEntry{"SECOND", 1000}));
    EXPECT_EQ(table[10], (HighScoreEntry{"ANONYMOUS", 900}));
    EXPECT_EQ(table[HighScoreTable::Spare], (HighScoreEntry{"ANONYMOUS", 600}));
}

} // namespace
} // namespace vantorel

// The cases every world-table database answers alike (score_store_contract.hpp).
#include "score_store_contract.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::server {
namespace {

struct TRow {
    const char* Name;
    int32_t Score;
};

std::vector<std::string> NamesOf(const std::vector<TStoredScore>& rows) {
    std::vector<std::string> names;
    for (const TStoredScore& row : rows)
        names.push_back(row.Name);
    return names;
}

} // namespace

TEST_P(ScoreStoreContract, AnEmptyStoreHasNoRowsAndAnswers) {
    EXPECT_TRUE(Store->Healthy());
    EXPECT_EQ(Store->Count(), 0);
    EXPECT_TRUE(Store->Top(100).empty());
}

// Highest score first; equal scores in the order they arrived, whatever the
// order of their names or of the other rows around them.
TEST_P(ScoreStoreContract, TopIsByScoreThenArrival) {
    const std::vector<TRow> rows = {{"Zed", 10}, {"Amy", 30}, {"Bob", 10}, {"Cid", 30}, {"Dan", 20},
                                    {"Eve", -5}, {"Fay", 30}, {"Gus", 0},  {"Hal", 20}};
    int64_t previousId = 0;
    for (const TRow& row : rows) {
        const int64_t id = Store->Add(row.Name, row.Score, "add", 1'700'000'000);
        EXPECT_GT(id, previousId) << row.Name;
        previousId = id;
    }
    EXPECT_EQ(NamesOf(Store->Top(100)), (std::vector<std::string>{"Amy", "Cid", "Fay", "Dan", "Hal",
                                                                  "Zed", "Bob", "Gus", "Eve"}));
}

TEST_P(ScoreStoreContract, RowsComeBackAsStored) {
    const int64_t first =
        Store->Add("Ace Pilot 99", std::numeric_limits<int32_t>::max(), "_______", 1'796'875'200);
    const int64_t second = Store->Add("Low", std::numeric_limits<int32_t>::min(), "", 0);
    const std::vector<TStoredScore> top = Store->Top(10);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0], (TStoredScore{first, "Ace Pilot 99", std::numeric_limits<int32_t>::max(),
                                    "_______", 1'796'875'200}));
    EXPECT_EQ(top[1], (TStoredScore{second, "Low", std::numeric_limits<int32_t>::min(), "", 0}));
}

TEST_P(ScoreStoreContract, TopStopsAtTheLimitAndCountSeesEveryRow) {
    for (int32_t i = 0; i < 25; ++i)
        Store->Add("P" + std::to_string(i), i * 100, "", 1000 + i);
    EXPECT_EQ(Store->Count(), 25);
    struct TCase {
        size_t Limit;
        size_t Rows;
    };
    for (const TCase c :
         {TCase{0, 0}, TCase{1, 1}, TCase{10, 10}, TCase{25, 25}, TCase{1000, 25}}) {
        const std::vector<TStoredScore> top = Store->Top(c.Limit);
        ASSERT_EQ(top.size(), c.Rows) << "limit " << c.Limit;
        if (!top.empty()) {
            EXPECT_EQ(top.front().Name, "P24") << "limit " << c.Limit;
        }
    }
}

// Windows-1252 bytes above 127 (and the five the code page leaves undefined)
// are kept byte for byte: the store neither converts nor refuses them.
TEST_P(ScoreStoreContract, TextsWithHighBytesAreKeptExactly) {
    std::string every;
    for (int b = 0x80; b <= 0xFF; ++b)
        every.push_back(static_cast<char>(b));
    const std::string name = "J\xF6rg \x80\x81\x8D\x8F\x90\x9D";
    Store->Add(name, 5, every, 42);
    const std::vector<TStoredScore> top = Store->Top(1);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].Name, name);
    EXPECT_EQ(top[0].Add, every);
}

// Request threads add at once: every report is one row with its own id.
TEST_P(ScoreStoreContract, ConcurrentAddsAreAllKeptWithDistinctIds) {
    constexpr int kThreads = 8;
    constexpr int kEach = 25;
    std::vector<std::vector<int64_t>> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                ids[static_cast<size_t>(t)].push_back(Store->Add(
                    "T" + std::to_string(t) + "x" + std::to_string(i), t * 1000 + i, "", 7));
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    std::set<int64_t> distinct;
    for (const std::vector<int64_t>& mine : ids) {
        EXPECT_TRUE(std::is_sorted(mine.begin(), mine.end())) << "ids of one thread increase";
        distinct.insert(mine.begin(), mine.end());
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kThreads * kEach));
    EXPECT_EQ(Store->Count(), kThreads * kEach);
    std::set<std::string> names;
    for (const TStoredScore& row : Store->Top(1000))
        names.insert(row.Name);
    EXPECT_EQ(names.size(), static_cast<size_t>(kThreads * kEach));
    EXPECT_EQ(names.count("T7x24"), 1u);
}

/// Rows whose scores spread over every level of the stores' score-range counts
/// (32-bit ends, zero, bucket edges at 64 and 4096, ties) and whose names differ
/// in case, Windows-1252 capitals included. Returns the rows in Top's order.
static std::vector<TStoredScore> AddSpreadRows(IScoreStore& store) {
    const std::vector<int32_t> scores = {std::numeric_limits<int32_t>::max(),
                                         std::numeric_limits<int32_t>::min(),
                                         0,
                                         -1,
                                         63,
                                         64,
                                         65,
                                         127,
                                         128,
                                         4095,
                                         4096,
                                         4097,
                                         262'143,
                                         262'144,
                                         1'000'000,
                                         -1'000'000,
                                         16'777'216};
    const std::vector<std::string> names = {"Ace",
                                            "ACE",
                                            "acer",
                                            "Bob",
                                            "J\xD6RG",
                                            "j\xF6rg",
                                            "\xFF\xFF",
                                            "\xFFZ",
                                            "",
                                            "Zed",
                                            "\x8A"
                                            "a"};
    for (size_t i = 0; i < 90; ++i)
        store.Add(names[i % names.size()] + (i % 4 == 0 ? "" : std::to_string(i % 3)),
                  scores[(i * 7) % scores.size()], "", static_cast<int64_t>(i));
    return store.Top(1000);
}

// Range is Top read from anywhere: every start and length gives the same rows
// as the slice of the whole table, ties and bucket edges included.
TEST_P(ScoreStoreContract, RangeIsTheSliceOfTopFromAnyPosition) {
    EXPECT_TRUE(Store->Range(0, 10).empty());
    const std::vector<TStoredScore> all = AddSpreadRows(*Store);
    ASSERT_EQ(all.size(), 90u);
    for (int64_t first = 0; first <= 91; ++first) {
        for (const size_t limit : {size_t{1}, size_t{7}, size_t{100}}) {
            const std::vector<TStoredScore> range = Store->Range(first, limit);
            const auto from = all.begin() + std::min<int64_t>(first, 90);
            const auto to =
                all.begin() + std::min<int64_t>(first + static_cast<int64_t>(limit), 90);
            ASSERT_EQ(range, std::vector<TStoredScore>(from, to))
                << "first " << first << " limit " << limit;
        }
    }
    EXPECT_TRUE(Store->Range(-1, 10).empty());
    EXPECT_TRUE(Store->Range(5, 0).empty());
}

// A name search finds the names that start with the prefix in the game's case
// folding, ordered by folded name, then as the table; each hit's rank is its
// place in Top. The expectation is worked out here from Top, by brute force.
TEST_P(ScoreStoreContract, FindByNameGivesEveryMatchWithItsWorldRank) {
    const std::vector<TStoredScore> all = AddSpreadRows(*Store);
    for (const std::string& text :
         std::vector<std::string>{"ace", "ACE", "Acer", "a", "", "j\xD6", "J\xF6RG1", "\xFF",
                                  "\xFF\xFF", "\x9A", "zz", "Ace1 ", "\xFE"}) {
        const TNamePrefix prefix(text);
        std::vector<TRankedScore> expected;
        for (size_t i = 0; i < all.size(); ++i)
            if (TNamePrefix::Fold(all[i].Name).starts_with(prefix.From()))
                expected.push_back({static_cast<int64_t>(i) + 1, all[i]});
        std::stable_sort(expected.begin(), expected.end(),
                         [](const TRankedScore& a, const TRankedScore& b) {
                             return TNamePrefix::Fold(a.Row.Name) < TNamePrefix::Fold(b.Row.Name);
                         });
        const auto label = ::testing::PrintToString(text);
        EXPECT_EQ(Store->FindByName(prefix, 0, 1000), expected) << label;
        EXPECT_EQ(Store->CountByName(prefix, 1000), static_cast<int64_t>(expected.size())) << label;
        EXPECT_EQ(Store->CountByName(prefix, 3), std::min<int64_t>(3, expected.size())) << label;
        if (expected.size() > 3) {
            EXPECT_EQ(Store->FindByName(prefix, 2, 2),
                      std::vector<TRankedScore>(expected.begin() + 2, expected.begin() + 4))
                << label;
        }
    }
}

} // namespace vantorel::server

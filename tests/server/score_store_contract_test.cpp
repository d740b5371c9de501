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

} // namespace vantorel::server

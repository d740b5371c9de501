#include "replay/replay_store.hpp"

#include "replay/replay_file.hpp"
#include "storage/high_score_table.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vantorel {
namespace {

std::vector<uint8_t> GameBytes(const std::string& name, int32_t score) {
    TReplay r;
    AppendReplayFrame(r, 85, 11, {});
    r.StateHashes = {1};
    r.Name = name;
    r.FinalScore = score;
    return EncodeReplay(r);
}

class ReplayStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("vantorel-replays-" +
                  std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TStoredReplay& r : TReplayStore(folder).List())
            names.push_back(r.Path.filename().string() + " " + r.Name);
        return names;
    }

    std::filesystem::path folder;
};

TEST_F(ReplayStoreTest, NumbersGamesOnFromTheHighestFileAndListsThemInOrder) {
    TReplayStore store(folder);
    ASSERT_TRUE(store.Add(GameBytes("ANN", 10)));
    ASSERT_TRUE(store.Add(GameBytes("BOB", 20)));
    // A file removed in the middle leaves its number unused; the next game goes on.
    std::filesystem::remove(folder / "game-000001.vrp");
    ASSERT_TRUE(store.Add(GameBytes("CAT", 30)));
    EXPECT_EQ(Names(), (std::vector<std::string>{"game-000002.vrp BOB", "game-000003.vrp CAT"}));
}

TEST_F(ReplayStoreTest, LeavesFilesThatAreNotItsGamesAlone) {
    TReplayStore store(folder);
    ASSERT_TRUE(store.Add(GameBytes("ANN", 10)));
    std::ofstream(folder / "game-000005.vrp") << "not a replay";
    std::ofstream(folder / "notes.txt") << "the player's own";
    ASSERT_TRUE(store.Add(GameBytes("BOB", 20)));
    EXPECT_EQ(Names(), (std::vector<std::string>{"game-000001.vrp ANN", "game-000006.vrp BOB"}));
    store.Prune(HighScoreTable{});
    EXPECT_TRUE(std::filesystem::exists(folder / "game-000005.vrp"))
        << "a damaged replay stays for the player to look at";
    EXPECT_TRUE(std::filesystem::exists(folder / "notes.txt"));
}

TEST_F(ReplayStoreTest, KeepsTheLastGamesAndTheGameOfEveryTableEntry) {
    TReplayStore store(folder);
    ASSERT_TRUE(store.Add(GameBytes("OLDBEST", 9000))); // game 1: in the table
    ASSERT_TRUE(store.Add(GameBytes("OLDBEST", 9000))); // game 2: the same entry again, newer
    ASSERT_TRUE(store.Add(GameBytes("GONE", 5)));       // game 3: neither
    for (int32_t i = 0; i < 20; ++i)
        ASSERT_TRUE(store.Add(GameBytes("RECENT", i)));
    HighScoreTable table;
    table[1] = {"OLDBEST", 9000};
    table[2] = {"NOBODY", 100}; // an entry without a replay

    store.Prune(table);
    const std::vector<TStoredReplay> kept = store.List();
    ASSERT_EQ(kept.size(), 21u);
    EXPECT_EQ(kept.front().Number, 2u) << "the newest game of the entry is the one kept";
    EXPECT_EQ(kept[1].Number, 4u);
    EXPECT_EQ(store.Find("OLDBEST", 9000), folder / "game-000002.vrp");
    EXPECT_EQ(store.Find("GONE", 5), std::nullopt);
}

} // namespace
} // namespace vantorel

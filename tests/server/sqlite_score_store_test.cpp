// The SQLite world table: the store contract, and what only a file can show.
#include "server/sqlite_score_store.hpp"

#include "ranking_checks.hpp"
#include "score_store_contract.hpp"
#include "server_test_support.hpp"
#include "test_databases.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace vantorel::server {
namespace {

namespace fs = std::filesystem;

using test_support::MakeEmptySqliteStore;
using test_support::TTempFolder;

} // namespace

INSTANTIATE_TEST_SUITE_P(Sqlite, ScoreStoreContract,
                         ::testing::Values(TScoreStoreFactory{MakeEmptySqliteStore}));

TEST(SqliteScoreStore, RowsSurviveClosingAndReopening) {
    TTempFolder folder;
    const std::string path = folder.File("scores.sqlite").string();
    int64_t id = 0;
    {
        TSqliteScoreStore store(path);
        store.Add("First", 100, "a", 1);
        id = store.Add("Second", 200, "b", 2);
    }
    TSqliteScoreStore reopened(path);
    ASSERT_EQ(reopened.Count(), 2);
    EXPECT_EQ(reopened.Top(1).front(), (TStoredScore{id, "Second", 200, "b", 2}));
    EXPECT_GT(reopened.Add("Third", 1, "", 3), id) << "ids go on increasing after a restart";
}

// The count is kept beside the table; rows deleted by hand or left by a file
// made before the count existed are counted right.
TEST(SqliteScoreStore, TheCountFollowsHandEditsAndOlderFiles) {
    TTempFolder folder;
    const std::string path = folder.File("scores.sqlite").string();
    {
        TSqliteScoreStore store(path);
        for (int32_t i = 0; i < 5; ++i)
            store.Add("P", i, "", 1);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DELETE FROM scores WHERE score < 2", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(TSqliteScoreStore(path).Count(), 3);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE scores_count; DROP TRIGGER scores_count_add;", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    TSqliteScoreStore older(path);
    EXPECT_EQ(older.Count(), 3);
    older.Add("Q", 9, "", 2);
    EXPECT_EQ(older.Count(), 4);
}

// A file from a server before replays gains their tables and the rows' link on
// its first open, and its rows can be verified.
TEST(SqliteScoreStore, AFileFromBeforeReplaysTakesThem) {
    TTempFolder folder;
    const std::string path = folder.File("scores.sqlite").string();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE scores(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT "
                           "NOT NULL, score INTEGER NOT NULL, add_text TEXT NOT NULL, received_at "
                           "INTEGER NOT NULL); INSERT INTO scores(name, score, add_text, "
                           "received_at) VALUES('Old', 50, 'x', 1), ('Older', 70, '', 1)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    TSqliteScoreStore store(path);
    EXPECT_EQ(store.CountVerified(), 0);
    store.AddReplay("VANTOREL-REPLAY old", 2);
    const auto marked = store.CheckNextReplay([](int64_t, const std::string&) {
        TReplayVerdict game;
        game.Verified = true;
        game.Outcome = "verified";
        game.Name = "Old";
        game.Score = 50;
        game.Add = "x";
        return game;
    });
    ASSERT_TRUE(marked);
    EXPECT_FALSE(marked->AddedRow);
    const std::vector<TRankedScore> verified = store.Verified(0, 10);
    ASSERT_EQ(verified.size(), 1u);
    EXPECT_EQ(verified[0].Rank, 2);
    EXPECT_EQ(verified[0].Row.Name, "Old");
}

TEST(SqliteScoreStore, AFileThatIsNotADatabaseIsRefused) {
    TTempFolder folder;
    const fs::path path = folder.File("scores.sqlite");
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("this is a text file, not a table of scores, and long enough to tell\n", file);
        std::fclose(file);
    }
    EXPECT_THROW(TSqliteScoreStore store(path.string()), std::runtime_error);
    EXPECT_THROW(TSqliteScoreStore store((folder.File("no-such-folder") / "x.sqlite").string()),
                 std::runtime_error);
}

// Connection strings go to PostgreSQL (which here has nothing to connect to);
// everything else, "=" in a file name included, is a SQLite file.
TEST(SqliteScoreStore, OpenScoreStoreTellsConnectionsFromPaths) {
    TTempFolder folder;
    const fs::path odd = folder.File("hostname=scores.sqlite");
    EXPECT_NO_THROW(OpenScoreStore(odd.string()));
    EXPECT_TRUE(fs::exists(odd));
    for (const std::string& connection : std::vector<std::string>{
             "postgresql://127.0.0.1:1/none?connect_timeout=2", "postgres://127.0.0.1:1/none",
             "host=" + folder.File("no-socket").string() + " dbname=none",
             "dbname=none host=" + folder.File("no-socket").string()}) {
        EXPECT_THROW(OpenScoreStore(connection), std::runtime_error) << connection;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.File("")), fs::directory_iterator()), 1)
        << "no SQLite file was made for a connection string";
}

TEST(SqliteScoreStore, OpenScoreStoreTakesAPathForSqlite) {
    TTempFolder folder;
    const std::string path = folder.File("scores.sqlite").string();
    std::unique_ptr<IScoreStore> store = OpenScoreStore(path);
    store->Add("Path", 1, "", 1);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(TSqliteScoreStore(path).Count(), 1);
}

// A file from before the page's reading aids gets them on its first open, its
// counts taken from the rows it holds; an operator's changes with the sqlite3
// shell's own functions (inserts, deletions, changed scores and names) keep
// them right, and a second open adds nothing twice.
TEST(SqliteScoreStore, AnOlderFileGainsPagingAndSearchThatFollowHandEdits) {
    TTempFolder folder;
    const std::string path = folder.File("scores.sqlite").string();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const auto run = [&](const std::string& sql) {
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
            << sql << ": " << (message ? message : "");
        sqlite3_free(message);
    };
    run("CREATE TABLE scores(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL, "
        "score INTEGER NOT NULL, add_text TEXT NOT NULL, received_at INTEGER NOT NULL); "
        "CREATE INDEX scores_rank ON scores(score DESC, id ASC); "
        "WITH RECURSIVE i(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM i WHERE n < 299) "
        "INSERT INTO scores(name, score, add_text, received_at) "
        "SELECT 'Pilot ' || (n % 40), (n * 7919) % 5003 - 2000, '', n FROM i");
    {
        TSqliteScoreStore store(path);
        test_support::ExpectRankingMatchesTop(store, "upgraded");
        store.Add("Pilot 7", 1, "", 1);
        test_support::ExpectRankingMatchesTop(store, "after an add");
    }
    run("DELETE FROM scores WHERE id % 3 = 0; "
        "UPDATE scores SET score = score * 1000 WHERE id % 5 = 0; "
        "UPDATE scores SET name = 'PILOT X' || id WHERE id % 7 = 0; "
        "INSERT INTO scores(name, score, add_text, received_at) VALUES('Hand', 4096, '', 9)");
    sqlite3_close(db);
    TSqliteScoreStore reopened(path);
    test_support::ExpectRankingMatchesTop(reopened, "after hand edits");
    EXPECT_EQ(reopened.CountByName(TNamePrefix("pilot x"), 1000), 29);
}

} // namespace vantorel::server

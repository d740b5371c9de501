// The world table in PostgreSQL: the store contract, plus what only a database
// shared by several server processes shows. Needs VANTOREL_TEST_PG, a libpq
// connection string in key=value words (tests/server/with_postgres.sh starts a
// throwaway server and sets it); without it these cases are skipped.
#include "ranking_checks.hpp"
#include "score_store_contract.hpp"
#include "server/postgres_score_store.hpp"
#include "test_databases.hpp"

#include <libpq-fe.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::server {

using namespace test_support;

INSTANTIATE_TEST_SUITE_P(Postgres, ScoreStoreContract,
                         ::testing::Values(TScoreStoreFactory{MakeEmptyPostgresStore}));

class PostgresScoreStore : public ::testing::Test {
protected:
    void SetUp() override {
        if (TestDatabase() == nullptr)
            return SkipWithoutDatabase();
        Schema = FreshSchema();
        Connection = ConnectionFor(Schema);
    }

    std::string Schema;
    std::string Connection;
};

// Two server processes behind one load balancer: each has its own store and its
// own connections, and both add at once. Every report is one row, seen by both.
TEST_F(PostgresScoreStore, TwoStoresAddingAtOnceKeepEveryRowOnce) {
    std::unique_ptr<IScoreStore> stores[] = {OpenPostgresScoreStore(Connection),
                                             OpenPostgresScoreStore(Connection)};
    constexpr int kThreadsPerStore = 4;
    constexpr int kEach = 50;
    std::map<std::string, int64_t> idOf[2 * kThreadsPerStore];
    std::vector<std::thread> threads;
    for (int t = 0; t < 2 * kThreadsPerStore; ++t) {
        threads.emplace_back([&, t] {
            IScoreStore& store = *stores[t % 2];
            for (int i = 0; i < kEach; ++i) {
                const std::string name = "S" + std::to_string(t) + "n" + std::to_string(i);
                idOf[t][name] = store.Add(name, (i * 7919) % 1000, "two", 100 + i);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    constexpr int kRows = 2 * kThreadsPerStore * kEach;
    for (const auto& store : stores) {
        EXPECT_EQ(store->Count(), kRows);
        std::map<std::string, int64_t> stored;
        std::set<int64_t> ids;
        for (const TStoredScore& row : store->Top(kRows + 10)) {
            EXPECT_TRUE(stored.emplace(row.Name, row.Id).second) << row.Name << " twice";
            ids.insert(row.Id);
        }
        EXPECT_EQ(ids.size(), static_cast<size_t>(kRows));
        for (const auto& added : idOf)
            for (const auto& [name, id] : added)
                EXPECT_EQ(stored[name], id) << name;
    }
}

// Names and add texts are the game's single bytes; the store keeps every one
// of them, quotes and backslashes included, in a database whose own encoding
// (UTF8 here) would refuse most of them as text.
TEST_F(PostgresScoreStore, EveryByteRoundTrips) {
    std::string every;
    for (int b = 0x01; b <= 0xFF; ++b)
        every.push_back(static_cast<char>(b));
    const std::string reversed(every.rbegin(), every.rend());
    std::unique_ptr<IScoreStore> store = OpenPostgresScoreStore(Connection);
    const int64_t id = store->Add(every, 77, reversed, 1'796'875'200);
    const std::unique_ptr<IScoreStore> other = OpenPostgresScoreStore(Connection);
    const std::vector<TStoredScore> top = other->Top(5);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0], (TStoredScore{id, every, 77, reversed, 1'796'875'200}));
}

// Several processes starting together on a new database all create the table
// "if missing" at once; none of them may fail for it.
TEST_F(PostgresScoreStore, StoresOpeningTogetherOnAnEmptyDatabaseAllStart) {
    for (int round = 0; round < 10; ++round) {
        Administer("DROP TABLE IF EXISTS " + Schema + ".scores");
        constexpr int kStores = 6;
        std::vector<std::string> errors(kStores);
        std::vector<std::thread> threads;
        for (int s = 0; s < kStores; ++s) {
            threads.emplace_back([&, s] {
                try {
                    OpenPostgresScoreStore(Connection)->Add("P" + std::to_string(s), s, "", 0);
                } catch (const std::exception& error) {
                    errors[static_cast<size_t>(s)] = error.what();
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (const std::string& error : errors)
            ASSERT_EQ(error, "") << "round " << round;
        EXPECT_EQ(OpenPostgresScoreStore(Connection)->Count(), kStores);
    }
}

// The total under the page is kept beside the table, not counted on each
// view; it must still be right for a table from before the count was kept and
// after an operator deletes or truncates rows by hand, from a session whose
// search path does not lead to the table.
TEST_F(PostgresScoreStore, CountFollowsRowsChangedByHand) {
    const std::string table = Schema + ".scores";
    Administer("CREATE TABLE " + table +
               " (id bigserial PRIMARY KEY, name bytea NOT NULL, "
               "score integer NOT NULL, add_text bytea NOT NULL, received_at bigint NOT NULL); "
               "INSERT INTO " +
               table +
               " (name, score, add_text, received_at) VALUES "
               "('Old', 1, '', 0), ('Older', 2, '', 0), ('Cheat', 999999, '', 0)");
    std::unique_ptr<IScoreStore> store = OpenPostgresScoreStore(Connection);
    EXPECT_EQ(store->Count(), 3);
    store->Add("New", 3, "", 1);
    EXPECT_EQ(store->Count(), 4);
    Administer("DELETE FROM " + table + " WHERE name = 'Cheat'");
    EXPECT_EQ(store->Count(), 3);
    EXPECT_EQ(OpenPostgresScoreStore(Connection)->Count(), 3) << "a second server counts alike";
    Administer("TRUNCATE " + table);
    EXPECT_EQ(store->Count(), 0);
    store->Add("Fresh", 4, "", 2);
    EXPECT_EQ(store->Count(), 1);
    EXPECT_EQ(store->Top(10).size(), 1u);
}

// The database restarts or drops the server's connections: pooled connections
// are dead. Reads go on at once on a new connection; an add that met a dead
// connection fails (it is never sent twice) and the next one succeeds.
TEST_F(PostgresScoreStore, LostConnectionsAreReplaced) {
    std::unique_ptr<IScoreStore> store = OpenPostgresScoreStore(Connection);
    store->Add("Before", 10, "", 1);
    Administer("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
               "WHERE application_name = 'vantorel-scored' AND pid <> pg_backend_pid()");
    EXPECT_TRUE(store->Healthy());
    EXPECT_EQ(store->Count(), 1);

    Administer("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
               "WHERE application_name = 'vantorel-scored' AND pid <> pg_backend_pid()");
    EXPECT_THROW(store->Add("Lost", 20, "", 2), std::runtime_error);
    store->Add("After", 30, "", 3);
    std::vector<std::string> names;
    for (const TStoredScore& row : store->Top(10))
        names.push_back(row.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"After", "Before"}));
}

// A wrong connection string stops the server at start with the database's
// reason, not later at the first report. These need no running database.
TEST(PostgresScoreStoreOpen, BadConnectionsAreClearErrors) {
    struct TCase {
        const char* Connection;
        const char* Says;
    };
    const TCase cases[] = {
        {"colour=blue", "invalid connection option \"colour\""},
        {"host=/nonexistent/vantorel port=5 dbname=x", "cannot connect"},
        {"postgresql://[::1", "matching \"]\""},
        {"dbname='unterminated", "unterminated quoted string"},
    };
    for (const TCase& c : cases) {
        try {
            OpenPostgresScoreStore(c.Connection);
            ADD_FAILURE() << c.Connection << " opened";
        } catch (const std::runtime_error& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find("PostgreSQL"), std::string::npos) << message;
            EXPECT_NE(message.find(c.Says), std::string::npos) << c.Connection << ": " << message;
        }
    }
}

// A database from before the page's reading aids gets them when the first
// server opens it, the counts taken from its rows; an operator's inserts,
// deletions, changed scores and TRUNCATE keep them right, and the tally rows
// of connections that ended are folded together when a server starts.
TEST_F(PostgresScoreStore, AnOlderTableGainsPagingAndSearchThatFollowHandEdits) {
    const std::string table = Schema + ".scores";
    Administer("CREATE TABLE " + table +
               " (id bigserial PRIMARY KEY, name bytea NOT NULL, "
               "score integer NOT NULL, add_text bytea NOT NULL, received_at bigint NOT NULL); "
               "INSERT INTO " +
               table +
               " (name, score, add_text, received_at) SELECT convert_to('Pilot ' || (n % 40), "
               "'UTF8'), (n * 7919) % 5003 - 2000, '', n FROM generate_series(0, 299) AS n");
    {
        std::unique_ptr<IScoreStore> store = OpenPostgresScoreStore(Connection);
        ExpectRankingMatchesTop(*store, "upgraded");
        store->Add("Pilot 7", 1, "", 1);
        ExpectRankingMatchesTop(*store, "after an add");
        // It takes replays too: a verified one marks the row, the ranks unmoved.
        store->AddReplay("VANTOREL-REPLAY upgraded", 3);
        const auto marked = store->CheckNextReplay([](int64_t, const std::string&) {
            TReplayVerdict game;
            game.Verified = true;
            game.Outcome = "verified";
            game.Name = "Pilot 7";
            game.Score = 1;
            return game;
        });
        ASSERT_TRUE(marked);
        EXPECT_FALSE(marked->AddedRow);
        EXPECT_EQ(store->CountVerified(), 1);
        ExpectRankingMatchesTop(*store, "after a verified replay");
        Administer("DELETE FROM " + table + " WHERE id % 3 = 0; UPDATE " + table +
                   " SET score = score * 1000 WHERE id % 5 = 0; UPDATE " + table +
                   " SET name = convert_to('PILOT X' || id, 'UTF8') WHERE id % 7 = 0; "
                   "INSERT INTO " +
                   table + " (name, score, add_text, received_at) VALUES ('Hand', 4096, '', 9)");
        ExpectRankingMatchesTop(*store, "after hand edits");
        EXPECT_EQ(store->CountByName(TNamePrefix("pilot x"), 1000), 29);
    }
    std::unique_ptr<IScoreStore> reopened = OpenPostgresScoreStore(Connection);
    ExpectRankingMatchesTop(*reopened, "reopened");
    Administer("TRUNCATE " + table);
    reopened->Add("Fresh", 4, "", 2);
    ExpectRankingMatchesTop(*reopened, "after TRUNCATE");
}

} // namespace vantorel::server

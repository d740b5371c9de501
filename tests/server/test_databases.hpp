// The databases the score server's tests run on: a new SQLite file, or a schema
// of its own in the PostgreSQL server that tests/server/with_postgres.sh starts
// and names in VANTOREL_TEST_PG (a libpq connection string). Without that
// variable the PostgreSQL cases are skipped.
#pragma once

#include "server/postgres_score_store.hpp"
#include "server/sqlite_score_store.hpp"
#include "server_test_support.hpp"

#include <libpq-fe.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace vantorel::server::test_support {

inline const char* TestDatabase() {
    const char* connection = std::getenv("VANTOREL_TEST_PG");
    return connection != nullptr && *connection != '\0' ? connection : nullptr;
}

inline void SkipWithoutDatabase() {
    GTEST_SKIP() << "VANTOREL_TEST_PG is not set (tests/server/with_postgres.sh sets it)";
}

/// Runs statements on a connection of its own, as an operator at psql would.
inline void Administer(const std::string& sql) {
    PGconn* connection = PQconnectdb(TestDatabase());
    ASSERT_EQ(PQstatus(connection), CONNECTION_OK) << PQerrorMessage(connection);
    PGresult* result = PQexec(connection, ("SET client_min_messages TO warning; " + sql).c_str());
    const ExecStatusType status = PQresultStatus(result);
    EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        << sql << ": " << PQerrorMessage(connection);
    PQclear(result);
    PQfinish(connection);
}

/// A schema of the running test's own, emptied, so that test processes run in
/// parallel on one database do not meet: the name comes from the test's name.
inline std::string FreshSchema() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "t_";
    for (const char c : std::string(test->test_suite_name()) + "_" + test->name())
        name.push_back(
            std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '_');
    if (name.size() > 60) // PostgreSQL cuts names at 63 bytes
        name =
            name.substr(0, 40) + "_" + std::to_string(std::hash<std::string>{}(name) % 1000000007);
    Administer("DROP SCHEMA IF EXISTS " + name + " CASCADE; CREATE SCHEMA " + name);
    return name;
}

/// The test database with the given schema first on the search path: the store
/// creates its table there.
inline std::string ConnectionFor(const std::string& schema) {
    return std::string(TestDatabase()) + " options='-c search_path=" + schema + "'";
}

inline std::unique_ptr<IScoreStore> MakeEmptyPostgresStore() {
    if (TestDatabase() == nullptr) {
        SkipWithoutDatabase();
        return nullptr;
    }
    return OpenPostgresScoreStore(ConnectionFor(FreshSchema()));
}

/// The contract's factory: a new empty file each time, in a folder that lives as
/// long as the test.
inline std::unique_ptr<IScoreStore> MakeEmptySqliteStore() {
    static std::unique_ptr<TTempFolder> folder;
    folder = std::make_unique<TTempFolder>();
    return std::make_unique<TSqliteScoreStore>(folder->File("scores.sqlite").string());
}

} // namespace vantorel::server::test_support

// The world table page's queries on a table of a million scores: Top(100), the
// table's rows, and Count(), the total under it, each through the store the
// server uses, then whole page requests through the service (first, middle and
// last page, name searches), on SQLite (a temporary file) and on PostgreSQL (when
// VANTOREL_TEST_PG names a database, as tests/server/with_postgres.sh sets it;
// skipped otherwise). The rows are put in fast, past the store: one transaction
// on SQLite, COPY on PostgreSQL; the fill time and each query's plan are printed
// before the timings.
//
//   tests/server/with_postgres.sh build/bench/score_page_bench
//
// VANTOREL_BENCH_ROWS changes the number of rows (default 1000000). On
// PostgreSQL the table lives in the schema vantorel_bench, dropped and made
// again on each run.
#include "server/postgres_score_store.hpp"
#include "server/score_service.hpp"
#include "server/score_store.hpp"
#include "server/sqlite_score_store.hpp"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace vantorel::server;

int64_t RowCount() {
    const char* rows = std::getenv("VANTOREL_BENCH_ROWS");
    return rows != nullptr ? std::atoll(rows) : 1'000'000;
}

/// Row i of the filled table: scores spread over 0..999,999 with ties (about
/// one in ten scores is shared), names and add texts as the game sends them.
struct TRowMaker {
    static int32_t Score(int64_t i) { return static_cast<int32_t>((i * 7919) % 900'007); }
    static std::string Name(int64_t i) { return "Pilot " + std::to_string(i % 1'000'000); }
    static std::string Add(int64_t i) {
        return i % 3 == 0 ? "_______" : "Hello " + std::to_string(i % 97);
    }
    static int64_t ReceivedAt(int64_t i) { return 1'796'000'000 + i; }
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void SqliteExec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw std::runtime_error("SQLite: " + text);
    }
}

void PrintSqlitePlan(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    const std::string explain = std::string("EXPLAIN QUERY PLAN ") + sql;
    if (sqlite3_prepare_v2(db, explain.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db));
    std::printf("SQLite plan of %s\n", sql);
    while (sqlite3_step(statement) == SQLITE_ROW)
        std::printf("  %s\n", reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)));
    sqlite3_finalize(statement);
}

/// A SQLite file made by the store, then filled in one transaction.
std::unique_ptr<IScoreStore> FilledSqliteStore(const std::filesystem::path& path, int64_t rows) {
    { const TSqliteScoreStore created(path.string()); } // the table and its index
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("SQLite: cannot open " + path.string());
    const auto start = std::chrono::steady_clock::now();
    SqliteExec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO scores(name, score, add_text, received_at) VALUES(?, ?, ?, ?)",
                       -1, &insert, nullptr);
    for (int64_t i = 0; i < rows; ++i) {
        const std::string name = TRowMaker::Name(i);
        const std::string add = TRowMaker::Add(i);
        sqlite3_bind_text(insert, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, TRowMaker::Score(i));
        sqlite3_bind_text(insert, 3, add.data(), static_cast<int>(add.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 4, TRowMaker::ReceivedAt(i));
        if (sqlite3_step(insert) != SQLITE_DONE)
            throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    SqliteExec(db, "COMMIT");
    SqliteExec(db, "ANALYZE");
    std::printf("SQLite: %lld rows filled in %.2f s (%.1f MB file)\n", static_cast<long long>(rows),
                SecondsSince(start), static_cast<double>(std::filesystem::file_size(path)) / 1e6);
    PrintSqlitePlan(db, "SELECT id, name, score, add_text, received_at FROM scores "
                        "ORDER BY score DESC, id ASC LIMIT 100");
    PrintSqlitePlan(db, "SELECT count(*) FROM scores"); // what the kept count spares
    sqlite3_close(db);
    return std::make_unique<TSqliteScoreStore>(path.string());
}

/// An operator's connection to the bench's database, for the fill and the plans.
class TPostgresSession {
public:
    explicit TPostgresSession(const std::string& connection)
        : connection_(PQconnectdb(connection.c_str())) {
        if (PQstatus(connection_) != CONNECTION_OK)
            throw std::runtime_error(std::string("PostgreSQL: ") + PQerrorMessage(connection_));
    }
    ~TPostgresSession() { PQfinish(connection_); }
    TPostgresSession(const TPostgresSession&) = delete;
    TPostgresSession& operator=(const TPostgresSession&) = delete;

    /// Runs sql; prints the rows it gives, one text column each, when print.
    void Run(const std::string& sql, bool print = false) {
        PGresult* result = PQexec(connection_, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        if (ok && print)
            for (int row = 0; row < PQntuples(result); ++row)
                std::printf("  %s\n", PQgetvalue(result, row, 0));
        const std::string message = PQresultErrorMessage(result);
        PQclear(result);
        if (!ok)
            throw std::runtime_error("PostgreSQL: " + sql + ": " + message);
    }

    /// COPY of the rows in text form: the texts hold letters, digits, spaces
    /// and "_" only, which bytea's input takes as they are.
    void CopyRows(int64_t rows) {
        PGresult* started = PQexec(connection_, "COPY scores(name, score, add_text, received_at) "
                                                "FROM STDIN");
        const bool ready = PQresultStatus(started) == PGRES_COPY_IN;
        PQclear(started);
        if (!ready)
            throw std::runtime_error(std::string("PostgreSQL: COPY: ") +
                                     PQerrorMessage(connection_));
        std::string chunk;
        for (int64_t i = 0; i < rows; ++i) {
            chunk += TRowMaker::Name(i) + '\t' + std::to_string(TRowMaker::Score(i)) + '\t' +
                     TRowMaker::Add(i) + '\t' + std::to_string(TRowMaker::ReceivedAt(i)) + '\n';
            if (chunk.size() > (1 << 16) || i + 1 == rows) {
                if (PQputCopyData(connection_, chunk.data(), static_cast<int>(chunk.size())) != 1)
                    throw std::runtime_error(std::string("PostgreSQL: COPY: ") +
                                             PQerrorMessage(connection_));
                chunk.clear();
            }
        }
        if (PQputCopyEnd(connection_, nullptr) != 1)
            throw std::runtime_error(std::string("PostgreSQL: COPY: ") +
                                     PQerrorMessage(connection_));
        PGresult* ended = PQgetResult(connection_);
        const bool done = PQresultStatus(ended) == PGRES_COMMAND_OK;
        PQclear(ended);
        while (PGresult* rest = PQgetResult(connection_))
            PQclear(rest);
        if (!done)
            throw std::runtime_error(std::string("PostgreSQL: COPY: ") +
                                     PQerrorMessage(connection_));
    }

private:
    PGconn* connection_;
};

/// The store on a schema of the bench's own, filled with COPY. VACUUM ANALYZE
/// settles the table as autovacuum does after a large insert, so the plans and
/// timings are those of a table in service rather than of a fresh load.
std::unique_ptr<IScoreStore> FilledPostgresStore(const std::string& database, int64_t rows) {
    TPostgresSession session(database);
    session.Run("SET client_min_messages TO warning; DROP SCHEMA IF EXISTS vantorel_bench "
                "CASCADE; CREATE SCHEMA vantorel_bench");
    const std::string connection = database + " options='-c search_path=vantorel_bench'";
    OpenPostgresScoreStore(connection); // the table and its index
    session.Run("SET search_path TO vantorel_bench");
    const auto start = std::chrono::steady_clock::now();
    session.CopyRows(rows);
    const double copied = SecondsSince(start);
    session.Run("VACUUM ANALYZE scores");
    std::printf("PostgreSQL: %lld rows filled in %.2f s by COPY, %.2f s with VACUUM ANALYZE\n",
                static_cast<long long>(rows), copied, SecondsSince(start));
    for (const char* query : {"SELECT id, name, score, add_text, received_at FROM scores "
                              "ORDER BY score DESC, id ASC LIMIT 100",
                              "SELECT count(*) FROM scores"}) { // what the kept count spares
        std::printf("PostgreSQL plan of %s\n", query);
        session.Run(std::string("EXPLAIN (ANALYZE, COSTS OFF) ") + query, true);
    }
    return OpenPostgresScoreStore(connection);
}

void Top100(benchmark::State& state, IScoreStore* store) {
    for (auto _ : state)
        benchmark::DoNotOptimize(store->Top(100));
}

void Count(benchmark::State& state, IScoreStore* store) {
    for (auto _ : state)
        benchmark::DoNotOptimize(store->Count());
}

/// What one page view asks: the rows and the total.
void Page(benchmark::State& state, IScoreStore* store) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(store->Top(100));
        benchmark::DoNotOptimize(store->Count());
    }
}

/// One request to the page through the service as the server runs it (store
/// reads and the HTML, no HTTP): the legacy first page, a page in the middle,
/// the last page, and name searches that find one score, a thousand and more
/// (the first hundred shown, with their ranks), and none.
void PageRequest(benchmark::State& state, TScoreService* service, std::string target) {
    for (auto _ : state) {
        const TWebResponse response = service->Handle({"GET", target, "127.0.0.1", {}});
        if (response.Status != 200)
            state.SkipWithError(("status " + std::to_string(response.Status)).c_str());
        benchmark::DoNotOptimize(response.Body.data());
    }
}

void RegisterPageRequests(const std::string& database, TScoreService* service, int64_t rows) {
    const std::string table = "/cgi/version.pl?prg=Vantorel&show&type=0";
    const int64_t last = std::max<int64_t>(1, (rows + 99) / 100);
    const std::vector<std::pair<std::string, std::string>> requests = {
        {"PageFirst", table},
        {"PageMiddle", table + "&page=" + std::to_string(last / 2)},
        {"PageLast", table + "&page=" + std::to_string(last)},
        {"SearchOne", table + "&name=pilot+" + std::to_string(rows / 2 + 7)},
        {"SearchThousands", table + "&name=PILOT+9"},
        {"SearchNone", table + "&name=nobody"},
    };
    for (const auto& [name, target] : requests) {
        benchmark::RegisterBenchmark((database + "/Service/" + name).c_str(), PageRequest, service,
                                     target)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    }
}

void Register(const std::string& database, IScoreStore* store) {
    // The store sees the filled table: the timings are of a million rows.
    const std::vector<TStoredScore> top = store->Top(1);
    std::printf("%s: Count() = %lld, best score %d\n", database.c_str(),
                static_cast<long long>(store->Count()), top.empty() ? -1 : top[0].Score);
    for (const auto& [name, run] :
         {std::pair{"Top100", &Top100}, std::pair{"Count", &Count}, std::pair{"Page", &Page}}) {
        benchmark::RegisterBenchmark((database + "/" + name).c_str(), run, store)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // the fill's lines show as they come
    benchmark::Initialize(&argc, argv);
    const int64_t rows = RowCount();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("vantorel-page-bench-" + std::to_string(static_cast<long long>(getpid())));
    std::filesystem::create_directories(folder);
    int status = 0;
    try {
        std::unique_ptr<IScoreStore> sqlite = FilledSqliteStore(folder / "scores.sqlite", rows);
        Register("SQLite", sqlite.get());
        TScoreService sqliteService(*sqlite, 0);
        RegisterPageRequests("SQLite", &sqliteService, rows);
        std::unique_ptr<IScoreStore> postgres;
        std::unique_ptr<TScoreService> postgresService;
        if (const char* database = std::getenv("VANTOREL_TEST_PG"); database && *database) {
            postgres = FilledPostgresStore(database, rows);
            Register("PostgreSQL", postgres.get());
            postgresService = std::make_unique<TScoreService>(*postgres, 0);
            RegisterPageRequests("PostgreSQL", postgresService.get(), rows);
        } else {
            std::printf("PostgreSQL: skipped, VANTOREL_TEST_PG is not set\n");
        }
        std::fflush(stdout);
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "score_page_bench: %s\n", error.what());
        status = 1;
    }
    benchmark::Shutdown();
    std::filesystem::remove_all(folder);
    return status;
}

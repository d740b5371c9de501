// How many reports a second the score server can acknowledge, against what the
// disk allows: the rate of 512-byte O_DSYNC writes on the database's disk (one
// flush each, the cost of one commit), then the store with the group-commit
// writer fed by 8 threads (as 8 request threads would), then, for comparison,
// the same threads committing one report each. Prints the figures and the
// ratio of acknowledged reports to single flushes, the disk's rate measured
// again for a second just before and after each run (a shared disk drifts);
// a ratio above 1 means a flush carries more than one report.
//
//   report_commit_bench [--dir DIR] [--threads 8] [--seconds 3] [--postgres CONNECTION]
//
// DIR (default: the working directory) holds the SQLite file and the probe file;
// both are removed after. --postgres (or VANTOREL_TEST_PG, which
// tests/server/with_postgres.sh sets) adds the PostgreSQL figures, in a schema
// of their own that is dropped after.
#include "server/postgres_score_store.hpp"
#include "server/report_batch_writer.hpp"
#include "server/sqlite_score_store.hpp"

#include <libpq-fe.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vantorel::server;
using TClock = std::chrono::steady_clock;

struct TOptions {
    std::string Dir = ".";
    int Threads = 8;
    double Seconds = 3;
    std::string Postgres;
};

double SecondsSince(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

/// 512-byte writes with O_DSYNC, appended one after the other as a log is.
double DsyncWritesPerSecond(const std::string& dir, double seconds) {
    const std::string path = dir + "/report_commit_bench.probe";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_DSYNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    char block[512];
    std::memset(block, 'v', sizeof block);
    long writes = 0;
    const TClock::time_point start = TClock::now();
    while (SecondsSince(start) < seconds) {
        const off_t at = static_cast<off_t>((writes % 8192) * 512);
        if (pwrite(fd, block, sizeof block, at) != static_cast<ssize_t>(sizeof block)) {
            std::perror("pwrite");
            std::exit(1);
        }
        ++writes;
    }
    const double rate = static_cast<double>(writes) / SecondsSince(start);
    close(fd);
    std::remove(path.c_str());
    return rate;
}

struct TRun {
    double PerSecond = 0;
    double P99Ms = 0;
    double MeanBatch = 0;
    long Failed = 0;
};

TNewScore ReportNumber(int thread, long i) {
    return {"B" + std::to_string(thread) + " " + std::to_string(i),
            static_cast<int32_t>((i * 7919 + thread) % 100003),
            "bench",
            1'796'875'200,
            "10.0." + std::to_string(thread) + ".1",
            std::to_string(thread) + "/" + std::to_string(i)};
}

/// threads senders for seconds; send(thread, i) stores report i of a thread and
/// returns false when it was refused.
template <class TSend> TRun Drive(int threads, double seconds, TSend send) {
    std::vector<std::vector<double>> latencies(static_cast<size_t>(threads));
    std::atomic<long> failed{0};
    const TClock::time_point start = TClock::now();
    std::vector<std::thread> senders;
    for (int t = 0; t < threads; ++t)
        senders.emplace_back([&, t] {
            for (long i = 0; SecondsSince(start) < seconds; ++i) {
                const TClock::time_point sent = TClock::now();
                if (!send(t, i)) {
                    ++failed;
                    continue;
                }
                latencies[static_cast<size_t>(t)].push_back(SecondsSince(sent) * 1000);
            }
        });
    for (std::thread& sender : senders)
        sender.join();
    const double elapsed = SecondsSince(start);
    std::vector<double> all;
    for (const auto& some : latencies)
        all.insert(all.end(), some.begin(), some.end());
    std::sort(all.begin(), all.end());
    TRun run;
    run.PerSecond = static_cast<double>(all.size()) / elapsed;
    run.P99Ms =
        all.empty() ? 0 : all[static_cast<size_t>(0.99 * static_cast<double>(all.size() - 1))];
    run.Failed = failed;
    return run;
}

TRun GroupCommit(IScoreStore& store, const TOptions& o) {
    std::mutex lock;
    double batches = 0, reports = 0;
    TReportBatchWriter writer(store, {}, [&](double, size_t size) {
        const std::lock_guard guard(lock);
        ++batches;
        reports += static_cast<double>(size);
    });
    TRun run = Drive(o.Threads, o.Seconds, [&](int t, long i) {
        return writer.Submit(ReportNumber(t, i)).Outcome.has_value();
    });
    run.MeanBatch = batches > 0 ? reports / batches : 0;
    return run;
}

TRun OneEach(IScoreStore& store, const TOptions& o) {
    return Drive(o.Threads, o.Seconds, [&](int t, long i) {
        const TNewScore report = ReportNumber(t, i);
        store.Add(report.Name, report.Score, report.Add, report.ReceivedAt);
        return true;
    });
}

/// Runs one measurement between two of the disk's O_DSYNC rate (the disk is
/// shared and its rate drifts) and prints it with its ratio to their mean.
template <class TMeasure>
void Measure(const std::string& what, const TOptions& o, TMeasure measure) {
    const double before = DsyncWritesPerSecond(o.Dir, 1.0);
    const TRun run = measure();
    const double after = DsyncWritesPerSecond(o.Dir, 1.0);
    const double dsync = (before + after) / 2;
    std::printf("%-44s %8.0f reports/s  p99 %6.2f ms  O_DSYNC %5.0f/s (%.0f, %.0f)  ratio %5.2f",
                what.c_str(), run.PerSecond, run.P99Ms, dsync, before, after,
                run.PerSecond / dsync);
    if (run.MeanBatch > 0)
        std::printf("  mean batch %.1f", run.MeanBatch);
    if (run.Failed > 0)
        std::printf("  FAILED %ld", run.Failed);
    std::printf("\n");
    std::fflush(stdout);
}

void PostgresAdmin(const std::string& connection, const std::string& sql) {
    PGconn* admin = PQconnectdb(connection.c_str());
    PGresult* result = PQexec(admin, ("SET client_min_messages TO warning; " + sql).c_str());
    if (PQresultStatus(result) != PGRES_COMMAND_OK)
        std::fprintf(stderr, "PostgreSQL: %s", PQerrorMessage(admin));
    PQclear(result);
    PQfinish(admin);
}

} // namespace

int main(int argc, char** argv) {
    TOptions o;
    if (const char* pg = std::getenv("VANTOREL_TEST_PG"))
        o.Postgres = pg;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--dir")
            o.Dir = argv[i + 1];
        else if (flag == "--threads")
            o.Threads = std::max(1, std::atoi(argv[i + 1]));
        else if (flag == "--seconds")
            o.Seconds = std::max(0.5, std::atof(argv[i + 1]));
        else if (flag == "--postgres")
            o.Postgres = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: report_commit_bench [--dir DIR] [--threads N] "
                                 "[--seconds S] [--postgres CONNECTION]\n");
            return 2;
        }
    }
    std::printf("disk of %s: %.0f O_DSYNC 512-byte writes/s\n", o.Dir.c_str(),
                DsyncWritesPerSecond(o.Dir, o.Seconds));
    std::fflush(stdout);

    const std::string file = o.Dir + "/report_commit_bench.sqlite";
    const auto removeFile = [&] {
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(file + suffix);
    };
    removeFile();
    try {
        TSqliteScoreStore store(file);
        const std::string threads = std::to_string(o.Threads) + " threads:";
        Measure("SQLite, group commit, " + threads, o, [&] { return GroupCommit(store, o); });
        Measure("SQLite, one commit a report, " + threads, o, [&] { return OneEach(store, o); });
    } catch (const std::exception& e) {
        std::printf("SQLite: failed: %s\n", e.what());
    }
    std::fflush(stdout);
    removeFile();

    if (!o.Postgres.empty()) {
        PostgresAdmin(o.Postgres, "DROP SCHEMA IF EXISTS report_commit_bench CASCADE; "
                                  "CREATE SCHEMA report_commit_bench");
        try {
            const auto store = OpenPostgresScoreStore(
                o.Postgres + " options='-c search_path=report_commit_bench'");
            const std::string threads = std::to_string(o.Threads) + " threads:";
            Measure("PostgreSQL, group commit, " + threads, o,
                    [&] { return GroupCommit(*store, o); });
            Measure("PostgreSQL, one commit a report, " + threads, o,
                    [&] { return OneEach(*store, o); });
        } catch (const std::exception& e) {
            std::printf("PostgreSQL: failed: %s\n", e.what());
        }
        PostgresAdmin(o.Postgres, "DROP SCHEMA report_commit_bench CASCADE");
    } else {
        std::printf("PostgreSQL: not measured (set VANTOREL_TEST_PG or run under "
                    "tests/server/with_postgres.sh)\n");
    }
    return 0;
}

// vantorel-scored --backup: a whole, consistent copy of a SQLite table taken
// while reports keep being committed, put in place only once complete; and
// the program's refusal on PostgreSQL.
#include "server/sqlite_backup.hpp"
#include "server/sqlite_score_store.hpp"
#include "server_test_support.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace vantorel::server {
namespace {

using test_support::TTempFolder;

std::string QuickCheck(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* check = nullptr;
    std::string answer = "no answer";
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW)
        answer = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    sqlite3_finalize(check);
    sqlite3_close(db);
    return answer;
}

size_t FilesIn(const std::filesystem::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(SqliteBackup, ACopyTakenWhileReportsAreCommittedIsWholeAndConsistent) {
    TTempFolder folder;
    const std::string source = folder.File("scores.sqlite").string();
    const std::string target = folder.File("copy.sqlite").string();
    {
        std::ofstream old(target);
        old << "the previous backup";
    }
    TSqliteScoreStore store(source);
    std::vector<TNewScore> batch;
    for (int32_t i = 0; i < 200; ++i)
        batch.push_back({"Row " + std::to_string(i), i, "", 0, "", ""});
    for (int i = 0; i < 20; ++i)
        store.AddBatch(batch, {});

    std::atomic<bool> stop{false};
    std::atomic<int> committed{0};
    std::thread writer([&] {
        while (!stop) {
            store.AddBatch(batch, {});
            ++committed;
        }
    });
    // Wait for the writer to be under way, so the backup runs beside commits.
    while (committed == 0)
        std::this_thread::yield();
    int64_t pages = 0;
    EXPECT_NO_THROW(pages = BackupSqliteDatabase(source, target));
    stop = true;
    writer.join();
    EXPECT_GT(pages, 0);

    EXPECT_EQ(QuickCheck(target), "ok");
    TSqliteScoreStore copy(target);
    const int64_t rows = copy.Count();
    EXPECT_GE(rows, 4000);
    EXPECT_EQ(rows % 200, 0) << "a batch was copied in part";
    EXPECT_EQ(static_cast<int64_t>(copy.Top(1'000'000).size()), rows)
        << "the kept count and the rows come from different moments";
}

TEST(SqliteBackup, AFailedBackupLeavesTheTargetAndNoTemporaryFile) {
    TTempFolder folder;
    const std::string target = folder.File("copy.sqlite").string();
    {
        std::ofstream old(target);
        old << "the previous backup";
    }
    EXPECT_THROW(BackupSqliteDatabase(folder.File("missing.sqlite").string(), target),
                 std::runtime_error);
    std::ifstream kept(target);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "the previous backup");
    EXPECT_EQ(FilesIn(folder.File("")), 1u);
}

/// Runs vantorel-scored with args; its exit status and what it printed.
std::pair<int, std::string> RunScored(const std::string& args) {
    const std::string command =
        std::string(VANTOREL_BUILD_DIR) + "/server/vantorel-scored " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        out += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(SqliteBackup, TheProgramCopiesSqliteAndSendsPostgresToPgDump) {
    TTempFolder folder;
    const std::string source = folder.File("scores.sqlite").string();
    TSqliteScoreStore(source).Add("Kept", 1, "", 0);
    const std::string target = folder.File("copy.sqlite").string();
    const auto [status, out] = RunScored("--database " + source + " --backup " + target);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("backed up"), std::string::npos) << out;
    EXPECT_EQ(TSqliteScoreStore(target).Count(), 1);

    const auto [pgStatus, pgOut] =
        RunScored("--database 'host=/nowhere dbname=vantorel' --backup " + target);
    EXPECT_EQ(pgStatus, 2);
    EXPECT_NE(pgOut.find("pg_dump"), std::string::npos) << pgOut;
}

} // namespace
} // namespace vantorel::server

#include "server/sqlite_backup.hpp"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace vantorel::server {

namespace {

/// Pages copied per step (4 KiB each), and the pause after each: a step holds
/// the destination's lock only, but pausing leaves the disk to the servers.
constexpr int kPagesPerStep = 256;
constexpr auto kPause = std::chrono::milliseconds(2);

struct TClose {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using TDatabase = std::unique_ptr<sqlite3, TClose>;

TDatabase OpenDatabase(const std::string& path, int flags) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    TDatabase owned(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("cannot open " + path + ": " +
                                 (db ? sqlite3_errmsg(db) : "out of memory"));
    sqlite3_busy_timeout(db, 5000);
    return owned;
}

void Exec(sqlite3* db, const char* sql, const std::string& what) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
}

void Flush(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || fsync(fd) != 0) {
        const std::string reason = std::strerror(errno);
        if (fd >= 0)
            close(fd);
        throw std::runtime_error("cannot flush " + path + ": " + reason);
    }
    close(fd);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

int64_t CopyInto(const std::string& source, const std::string& temporary) {
    // Read-write without CREATE: a missing source is an error, not a new file,
    // and a WAL database's shared memory may need setting up.
    const TDatabase from = OpenDatabase(source, SQLITE_OPEN_READWRITE);
    const TDatabase to = OpenDatabase(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // One snapshot for every step: the backup uses the open read transaction
    // instead of starting over whenever a server commits.
    Exec(from.get(), "BEGIN", "cannot read " + source);
    Exec(from.get(), "SELECT count(*) FROM sqlite_master", "cannot read " + source);
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (backup == nullptr)
        throw std::runtime_error("cannot start the backup: " +
                                 std::string(sqlite3_errmsg(to.get())));
    int rc = SQLITE_OK;
    while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        rc = sqlite3_backup_step(backup, kPagesPerStep);
        if (rc != SQLITE_DONE)
            std::this_thread::sleep_for(kPause);
    }
    const int64_t pages = sqlite3_backup_pagecount(backup);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw std::runtime_error("backup failed: " + std::string(sqlite3_errstr(rc)));
    Exec(from.get(), "COMMIT", "cannot end the read of " + source);
    return pages;
}

} // namespace

int64_t BackupSqliteDatabase(const std::string& source, const std::string& target) {
    const std::string temporary = target + ".tmp-" + std::to_string(getpid());
    std::remove(temporary.c_str());
    try {
        const int64_t pages = CopyInto(source, temporary);
        Flush(temporary);
        if (std::rename(temporary.c_str(), target.c_str()) != 0)
            throw std::runtime_error("cannot rename " + temporary + " to " + target + ": " +
                                     std::strerror(errno));
        Flush(FolderOf(target));
        return pages;
    } catch (...) {
        std::remove(temporary.c_str());
        std::remove((temporary + "-journal").c_str());
        throw;
    }
}

} // namespace vantorel::server

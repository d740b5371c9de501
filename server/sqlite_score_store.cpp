#include "server/sqlite_score_store.hpp"

#include <sqlite3.h>

#include <limits>
#include <stdexcept>

namespace vantorel::server {

namespace {

// AUTOINCREMENT: ids only grow, even after rows are deleted by hand. The index
// is the ranking itself, so the top of the table is read from its first entries
// without sorting, however many rows there are. The row count is kept by
// triggers, also through hand edits: count(*) would read the whole index on
// every page (some 20 ms at a million rows).
constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS scores(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT NOT NULL,
    score INTEGER NOT NULL,
    add_text TEXT NOT NULL,
    received_at INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS scores_rank ON scores(score DESC, id ASC);
CREATE TABLE IF NOT EXISTS scores_count(
    one INTEGER PRIMARY KEY CHECK (one = 1),
    n INTEGER NOT NULL);
INSERT OR IGNORE INTO scores_count VALUES(1, (SELECT count(*) FROM scores));
CREATE TRIGGER IF NOT EXISTS scores_count_add AFTER INSERT ON scores
    BEGIN UPDATE scores_count SET n = n + 1; END;
CREATE TRIGGER IF NOT EXISTS scores_count_remove AFTER DELETE ON scores
    BEGIN UPDATE scores_count SET n = n - 1; END;
)";

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw std::runtime_error("SQLite: " + what + ": " +
                             (db ? sqlite3_errmsg(db) : "out of memory"));
}

void Exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw std::runtime_error(std::string("SQLite: ") + text);
    }
}

sqlite3* Open(const std::string& path) {
    sqlite3* db = nullptr;
    // NOMUTEX: each connection is used under its own lock.
    const int rc =
        sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error("SQLite: cannot open " + path + ": " + message);
    }
    sqlite3_busy_timeout(db, 5000);
    return db;
}

/// A prepared statement, finalized on every path out.
class TStatement {
public:
    TStatement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK)
            Fail(db, "prepare");
    }
    ~TStatement() { sqlite3_finalize(statement_); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    void BindText(int index, const std::string& text) {
        if (sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK)
            Fail(db_, "bind");
    }
    void BindInt(int index, int64_t value) {
        if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK)
            Fail(db_, "bind");
    }
    /// True while a row is there, false when done.
    bool Step() {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        Fail(db_, "step");
    }
    int64_t Int(int column) { return sqlite3_column_int64(statement_, column); }
    /// The stored bytes as they are: SQLite keeps a text's bytes unchanged.
    std::string Bytes(int column) {
        const void* data = sqlite3_column_blob(statement_, column);
        const int size = sqlite3_column_bytes(statement_, column);
        return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size))
                    : std::string();
    }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

int32_t ClampScore(int64_t value) {
    // A hand-edited row may hold a wider number than a report can carry.
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

} // namespace

TSqliteScoreStore::TSqliteScoreStore(const std::string& path) {
    try {
        writer_ = Open(path);
        Exec(writer_, "PRAGMA journal_mode=WAL");
        Exec(writer_, "PRAGMA synchronous=FULL");
        // One transaction, so servers starting together on a new file count once.
        Exec(writer_, "BEGIN IMMEDIATE");
        try {
            Exec(writer_, kSchema);
            Exec(writer_, "COMMIT");
        } catch (...) {
            sqlite3_exec(writer_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        reader_ = Open(path);
    } catch (...) {
        sqlite3_close(reader_);
        sqlite3_close(writer_);
        throw;
    }
}

TSqliteScoreStore::~TSqliteScoreStore() {
    sqlite3_close(reader_);
    sqlite3_close(writer_);
}

int64_t TSqliteScoreStore::Add(const std::string& name, int32_t score, const std::string& add,
                               int64_t receivedAt) {
    const std::lock_guard lock(writeMutex_);
    TStatement insert(writer_, "INSERT INTO scores(name, score, add_text, received_at) "
                               "VALUES(?, ?, ?, ?) RETURNING id");
    insert.BindText(1, name);
    insert.BindInt(2, score);
    insert.BindText(3, add);
    insert.BindInt(4, receivedAt);
    if (!insert.Step())
        Fail(writer_, "insert returned no id");
    const int64_t id = insert.Int(0);
    // Autocommit: the row is durable once the statement is done.
    while (insert.Step()) {
    }
    return id;
}

std::vector<TStoredScore> TSqliteScoreStore::Top(size_t limit) {
    std::vector<TStoredScore> rows;
    if (limit == 0)
        return rows;
    const std::lock_guard lock(readMutex_);
    TStatement select(reader_, "SELECT id, name, score, add_text, received_at FROM scores "
                               "ORDER BY score DESC, id ASC LIMIT ?");
    select.BindInt(1, limit > static_cast<size_t>(std::numeric_limits<int64_t>::max())
                          ? std::numeric_limits<int64_t>::max()
                          : static_cast<int64_t>(limit));
    while (select.Step())
        rows.push_back({select.Int(0), select.Bytes(1), ClampScore(select.Int(2)), select.Bytes(3),
                        select.Int(4)});
    return rows;
}

int64_t TSqliteScoreStore::Count() {
    const std::lock_guard lock(readMutex_);
    TStatement count(reader_, "SELECT n FROM scores_count");
    return count.Step() ? count.Int(0) : 0;
}

bool TSqliteScoreStore::Healthy() {
    try {
        const std::lock_guard lock(readMutex_);
        TStatement probe(reader_, "SELECT 1 FROM scores LIMIT 1");
        probe.Step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace vantorel::server

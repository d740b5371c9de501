#include "server/sqlite_score_store.hpp"

#include "server/score_tally.hpp"

#include "base/text_encoding.hpp"

#include <sqlite3.h>

#include <cstdio>
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
CREATE TABLE IF NOT EXISTS replays(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    bytes BLOB NOT NULL,
    digest INTEGER NOT NULL,
    received_at INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS replays_digest ON replays(digest);
CREATE TABLE IF NOT EXISTS replay_jobs(
    replay_id INTEGER PRIMARY KEY REFERENCES replays(id),
    state TEXT NOT NULL DEFAULT 'queued',
    outcome TEXT NOT NULL DEFAULT '',
    reason TEXT NOT NULL DEFAULT '',
    score_id INTEGER NOT NULL DEFAULT 0,
    attempts INTEGER NOT NULL DEFAULT 0,
    finished_at INTEGER);
CREATE INDEX IF NOT EXISTS replay_jobs_queued ON replay_jobs(replay_id) WHERE state = 'queued';
)";

// The rows' link to the replay that proved them, added to a file made before
// replays were taken; the verified rows have an index of their own, in the
// ranking's order, so the page's verified view reads only them.
void AddReplaySchema(sqlite3* db);

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

// How long a connection waits for a lock another connection holds. Readers
// seldom need one under WAL (only while a log is recovered), so theirs is
// short: the page and /healthz answer even while some writer is stuck. A batch
// of reports waits a bounded time for the write lock, then fails with 503
// rather than keep its senders and their connections waiting. The schema is
// made once at start, where waiting longer for servers starting together is
// harmless.
constexpr int kReadBusyMs = 250;
constexpr int kWriteBusyMs = 1500;
constexpr int kSetupBusyMs = 5000;

sqlite3* Open(const std::string& path, int busyMs) {
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
    sqlite3_busy_timeout(db, busyMs);
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
    void BindBlob(int index, const std::string& bytes) {
        if (sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()),
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
    /// Ready to be stepped again with new bindings.
    void Reset() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
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

// What the page reads besides the table: the counts per score range of
// TScoreTally, kept by triggers through every insert, hand deletion and hand
// change of a score, and an index on the folded name (TNamePrefix) for the name
// search. Made in the schema's transaction; a file made before them gets them
// on its first open, the counts filled from its rows.
//
// The fold uses SQLite's own functions only, so that the sqlite3 shell can
// still change rows by hand: lower() folds A-Z and leaves every other byte as it
// is; the 34 capitals of Windows-1252 above 127 are replaced first, half of them
// in a virtual column (name_fold_part, computed when read, stored nowhere) and
// half in the index's expression, since SQLite's parser takes only some 25
// calls nested in one another.
std::string ReplacedCapitalsSql(std::string sql, bool firstHalf) {
    char hex[48];
    int seen = 0;
    for (int c = 0x80; c <= 0xFF; ++c) {
        const unsigned char lower = LowerCp1252(static_cast<unsigned char>(c));
        if (lower == c || (seen++ < 17) != firstHalf)
            continue;
        std::snprintf(hex, sizeof hex, ", X'%02X', X'%02X')", c, lower);
        sql = "replace(" + sql + hex;
    }
    return sql;
}

std::string FoldedNameSql() {
    return "lower(" + ReplacedCapitalsSql("name_fold_part", false) + ")";
}

void AddRankingSchema(sqlite3* db) {
    TStatement exists(db, "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' "
                          "AND name = 'scores_tally_add'");
    const bool made = exists.Step() && exists.Int(0) > 0;
    TStatement part(db, "SELECT count(*) FROM pragma_table_xinfo('scores') "
                        "WHERE name = 'name_fold_part'");
    if (!(part.Step() && part.Int(0) > 0))
        Exec(db, ("ALTER TABLE scores ADD COLUMN name_fold_part TEXT GENERATED ALWAYS AS (" +
                  ReplacedCapitalsSql("name", true) + ") VIRTUAL")
                     .c_str());
    std::string sql = "CREATE INDEX IF NOT EXISTS scores_name ON scores(" + FoldedNameSql() +
                      ", score DESC, id ASC);\n";
    if (!made) {
        std::string add, remove;
        sql += "DROP TABLE IF EXISTS scores_tally;\n"
               "CREATE TABLE scores_tally(level INTEGER NOT NULL, bucket INTEGER NOT NULL, "
               "n INTEGER NOT NULL, PRIMARY KEY(level, bucket)) WITHOUT ROWID;\n";
        for (const int level : TScoreTally::kLevels) {
            const std::string shift = " >> " + std::to_string(level);
            sql += "INSERT INTO scores_tally SELECT " + std::to_string(level) + ", " +
                   TScoreTally::KeySql("score") + shift + ", count(*) FROM scores GROUP BY 2;\n";
            add += "INSERT INTO scores_tally VALUES(" + std::to_string(level) + ", " +
                   TScoreTally::KeySql("new.score") + shift +
                   ", 1) ON CONFLICT(level, bucket) DO UPDATE SET n = n + 1;\n";
            remove += "UPDATE scores_tally SET n = n - 1 WHERE level = " + std::to_string(level) +
                      " AND bucket = " + TScoreTally::KeySql("old.score") + shift + ";\n";
        }
        sql += "CREATE TRIGGER scores_tally_add AFTER INSERT ON scores BEGIN\n" + add + "END;\n";
        sql +=
            "CREATE TRIGGER scores_tally_remove AFTER DELETE ON scores BEGIN\n" + remove + "END;\n";
        sql += "CREATE TRIGGER scores_tally_move AFTER UPDATE OF score ON scores BEGIN\n" + remove +
               add + "END;\n";
    }
    Exec(db, sql.c_str());
}

/// Columns id, name, score, add_text, received_at, replay_id of a row.
TStoredScore RowAt(TStatement& select) {
    return {select.Int(0),   select.Bytes(1), ClampScore(select.Int(2)),
            select.Bytes(3), select.Int(4),   select.Int(5)};
}

constexpr const char* kRowColumns =
    "id, name, score, add_text, received_at, coalesce(replay_id, 0)";

int64_t SqlLimit(size_t limit) {
    return limit > static_cast<size_t>(std::numeric_limits<int64_t>::max())
               ? std::numeric_limits<int64_t>::max()
               : static_cast<int64_t>(limit);
}

/// The folded-name range of a prefix as SQL conditions on the scores row.
std::string NameRangeSql(const TNamePrefix& prefix) {
    const std::string folded = FoldedNameSql();
    return folded + " >= $from" + (prefix.To() ? " AND " + folded + " < $to" : "");
}

void AddReplaySchema(sqlite3* db) {
    TStatement column(db, "SELECT count(*) FROM pragma_table_xinfo('scores') "
                          "WHERE name = 'replay_id'");
    if (!(column.Step() && column.Int(0) > 0))
        Exec(db, "ALTER TABLE scores ADD COLUMN replay_id INTEGER REFERENCES replays(id)");
    Exec(db, "CREATE INDEX IF NOT EXISTS scores_verified ON scores(score DESC, id ASC) "
             "WHERE replay_id IS NOT NULL");
}

} // namespace

TSqliteScoreStore::TSqliteScoreStore(const std::string& path) {
    try {
        writer_ = Open(path, kSetupBusyMs);
        Exec(writer_, "PRAGMA journal_mode=WAL");
        Exec(writer_, "PRAGMA synchronous=FULL");
        // One transaction, so servers starting together on a new file count once.
        Exec(writer_, "BEGIN IMMEDIATE");
        try {
            Exec(writer_, kSchema);
            AddRankingSchema(writer_);
            AddReplaySchema(writer_);
            Exec(writer_, "COMMIT");
        } catch (...) {
            sqlite3_exec(writer_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        sqlite3_busy_timeout(writer_, kWriteBusyMs);
        reader_ = Open(path, kReadBusyMs);
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

std::vector<TAddOutcome> TSqliteScoreStore::AddBatch(const std::vector<TNewScore>& reports,
                                                     const TSharedLimits&) {
    const std::lock_guard lock(writeMutex_);
    // IMMEDIATE takes the write lock now, waiting at most kWriteBusyMs, so the
    // inserts below never meet a busy database halfway through.
    Exec(writer_, "BEGIN IMMEDIATE");
    try {
        TStatement insert(writer_, "INSERT INTO scores(name, score, add_text, received_at) "
                                   "VALUES(?, ?, ?, ?)");
        for (const TNewScore& report : reports) {
            insert.BindText(1, report.Name);
            insert.BindInt(2, report.Score);
            insert.BindText(3, report.Add);
            insert.BindInt(4, report.ReceivedAt);
            insert.Step();
            insert.Reset();
        }
        // One fsync of the log for the whole batch (synchronous=FULL).
        Exec(writer_, "COMMIT");
    } catch (...) {
        sqlite3_exec(writer_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return std::vector<TAddOutcome>(reports.size(), TAddOutcome::Stored);
}

std::vector<TStoredScore> TSqliteScoreStore::Top(size_t limit) {
    std::vector<TStoredScore> rows;
    if (limit == 0)
        return rows;
    const std::lock_guard lock(readMutex_);
    TStatement select(reader_, (std::string("SELECT ") + kRowColumns +
                                " FROM scores ORDER BY score DESC, id ASC LIMIT ?")
                                   .c_str());
    select.BindInt(1, SqlLimit(limit));
    while (select.Step())
        rows.push_back(RowAt(select));
    return rows;
}

std::vector<TStoredScore> TSqliteScoreStore::Range(int64_t first, size_t limit) {
    std::vector<TStoredScore> rows;
    if (limit == 0 || first < 0)
        return rows;
    const std::lock_guard lock(readMutex_);
    // One read transaction: the counts and the rows are of the same moment.
    Exec(reader_, "BEGIN");
    try {
        TStatement level(reader_, TScoreTally::LevelSql());
        const auto start = TScoreTally::Locate(first, [&](int shift, int64_t from, int64_t to) {
            std::vector<std::pair<int64_t, int64_t>> buckets;
            level.Reset();
            level.BindInt(1, shift);
            level.BindInt(2, from);
            level.BindInt(3, to);
            while (level.Step())
                buckets.emplace_back(level.Int(0), level.Int(1));
            return buckets;
        });
        if (start) {
            TStatement select(reader_, (std::string("SELECT ") + kRowColumns +
                                        " FROM scores WHERE score <= ? ORDER BY score DESC, "
                                        "id ASC LIMIT ? OFFSET ?")
                                           .c_str());
            select.BindInt(1, start->HighestScore);
            select.BindInt(2, SqlLimit(limit));
            select.BindInt(3, first - start->Before);
            while (select.Step())
                rows.push_back(RowAt(select));
        }
        Exec(reader_, "COMMIT");
    } catch (...) {
        sqlite3_exec(reader_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return rows;
}

std::vector<TRankedScore> TSqliteScoreStore::FindByName(const TNamePrefix& prefix, int64_t first,
                                                        size_t limit) {
    return Find(&prefix, false, first, limit);
}

int64_t TSqliteScoreStore::CountByName(const TNamePrefix& prefix, int64_t cap) {
    return CountWhere(&prefix, false, cap);
}

std::vector<TRankedScore> TSqliteScoreStore::Verified(int64_t first, size_t limit) {
    return Find(nullptr, true, first, limit);
}

int64_t TSqliteScoreStore::CountVerified() {
    return CountWhere(nullptr, true, std::numeric_limits<int64_t>::max());
}

std::vector<TRankedScore> TSqliteScoreStore::FindVerifiedByName(const TNamePrefix& prefix,
                                                                int64_t first, size_t limit) {
    return Find(&prefix, true, first, limit);
}

int64_t TSqliteScoreStore::CountVerifiedByName(const TNamePrefix& prefix, int64_t cap) {
    return CountWhere(&prefix, true, cap);
}

std::vector<TRankedScore> TSqliteScoreStore::Find(const TNamePrefix* prefix, bool verifiedOnly,
                                                  int64_t first, size_t limit) {
    std::vector<TRankedScore> rows;
    if (limit == 0 || first < 0)
        return rows;
    std::string where = verifiedOnly ? "replay_id IS NOT NULL" : "1";
    if (prefix)
        where += " AND " + NameRangeSql(*prefix);
    // By name for a search, in the ranking's order for the verified rows alone.
    const std::string order =
        prefix ? FoldedNameSql() + ", score DESC, id ASC" : "score DESC, id ASC";
    const std::string sql =
        "SELECT hit.id, hit.name, hit.score, hit.add_text, hit.received_at, hit.replay_id, " +
        TScoreTally::RankSql("hit") + " FROM (SELECT " + kRowColumns + " AS replay_id, " +
        (prefix ? FoldedNameSql() : std::string("''")) + " AS folded FROM scores WHERE " + where +
        " ORDER BY " + order +
        " LIMIT $limit OFFSET $offset) AS hit "
        "ORDER BY hit.folded, hit.score DESC, hit.id ASC";
    const std::lock_guard lock(readMutex_);
    TStatement select(reader_, sql.c_str());
    int index = 1;
    if (prefix) {
        select.BindText(index++, prefix->From());
        if (prefix->To())
            select.BindText(index++, *prefix->To());
    }
    select.BindInt(index++, SqlLimit(limit));
    select.BindInt(index, first);
    while (select.Step())
        rows.push_back({select.Int(6), RowAt(select)});
    return rows;
}

int64_t TSqliteScoreStore::CountWhere(const TNamePrefix* prefix, bool verifiedOnly, int64_t cap) {
    std::string where = verifiedOnly ? "replay_id IS NOT NULL" : "1";
    if (prefix)
        where += " AND " + NameRangeSql(*prefix);
    const std::string sql =
        "SELECT count(*) FROM (SELECT 1 FROM scores WHERE " + where + " LIMIT $cap)";
    const std::lock_guard lock(readMutex_);
    TStatement count(reader_, sql.c_str());
    int index = 1;
    if (prefix) {
        count.BindText(index++, prefix->From());
        if (prefix->To())
            count.BindText(index++, *prefix->To());
    }
    count.BindInt(index, cap < 0 ? 0 : cap);
    return count.Step() ? count.Int(0) : 0;
}

int64_t TSqliteScoreStore::AddReplay(const std::string& bytes, int64_t receivedAt) {
    const std::lock_guard lock(writeMutex_);
    Exec(writer_, "BEGIN IMMEDIATE");
    try {
        TStatement insert(writer_, "INSERT INTO replays(bytes, digest, received_at) "
                                   "VALUES(?, ?, ?) RETURNING id");
        insert.BindBlob(1, bytes);
        insert.BindInt(2, ReplayDigest(bytes));
        insert.BindInt(3, receivedAt);
        if (!insert.Step())
            Fail(writer_, "insert returned no id");
        const int64_t id = insert.Int(0);
        while (insert.Step()) {
        }
        TStatement job(writer_, "INSERT INTO replay_jobs(replay_id) VALUES(?)");
        job.BindInt(1, id);
        job.Step();
        Exec(writer_, "COMMIT");
        return id;
    } catch (...) {
        sqlite3_exec(writer_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<TReplayJobResult> TSqliteScoreStore::CheckNextReplay(const TReplayCheck& check) {
    int64_t id = 0;
    std::string bytes;
    int64_t receivedAt = 0;
    int64_t attempts = 0;
    {
        const std::lock_guard lock(readMutex_);
        TStatement next(reader_,
                        "SELECT r.id, r.bytes, r.received_at, j.attempts "
                        "FROM replay_jobs AS j "
                        "JOIN replays AS r ON r.id = j.replay_id "
                        "WHERE j.state = 'queued' ORDER BY j.attempts, j.replay_id LIMIT 1");
        if (!next.Step())
            return std::nullopt;
        id = next.Int(0);
        bytes = next.Bytes(1);
        receivedAt = next.Int(2);
        attempts = next.Int(3);
    }
    // Played back with no lock held: reports go on being written meanwhile. The
    // verdict is written below only if the job is still queued then, so two
    // servers on one file that took the same job record it once.
    const TReplayVerdict verdict = check(id, bytes);
    const std::lock_guard lock(writeMutex_);
    Exec(writer_, "BEGIN IMMEDIATE");
    try {
        TReplayJobResult result{id, false, 0, false, verdict.Outcome, verdict.Reason};
        TStatement state(writer_, "SELECT state FROM replay_jobs WHERE replay_id = ?");
        state.BindInt(1, id);
        if (!state.Step() || state.Bytes(0) != "queued") {
            Exec(writer_, "COMMIT");
            result.Outcome = "done_elsewhere";
            return result;
        }
        if (verdict.Retry && attempts + 1 < kMaxReplayAttempts) {
            TStatement later(writer_, "UPDATE replay_jobs SET attempts = attempts + 1, "
                                      "outcome = ?, reason = ? WHERE replay_id = ?");
            later.BindText(1, verdict.Outcome);
            later.BindText(2, verdict.Reason);
            later.BindInt(3, id);
            later.Step();
            Exec(writer_, "COMMIT");
            result.Outcome = "retry";
            return result;
        }
        bool verified = verdict.Verified;
        if (verified) {
            TStatement seen(writer_, "SELECT r.id FROM replays AS r JOIN replay_jobs AS j "
                                     "ON j.replay_id = r.id WHERE r.digest = ? AND r.id <> ? "
                                     "AND j.state = 'verified' AND r.bytes = ? LIMIT 1");
            seen.BindInt(1, ReplayDigest(bytes));
            seen.BindInt(2, id);
            seen.BindBlob(3, bytes);
            if (seen.Step()) {
                verified = false;
                result.Outcome = "duplicate";
                result.Reason = "the same replay was verified before (replay " +
                                std::to_string(seen.Int(0)) + ")";
            }
        }
        if (verified) {
            result.Verified = true;
            result.Outcome = "verified";
            result.Reason.clear();
            TStatement match(writer_, "SELECT id FROM scores WHERE score = ? AND name = ? "
                                      "AND add_text = ? AND replay_id IS NULL "
                                      "ORDER BY id LIMIT 1");
            match.BindInt(1, verdict.Score);
            match.BindText(2, verdict.Name);
            match.BindText(3, verdict.Add);
            if (match.Step()) {
                result.ScoreId = match.Int(0);
                TStatement mark(writer_, "UPDATE scores SET replay_id = ? WHERE id = ?");
                mark.BindInt(1, id);
                mark.BindInt(2, result.ScoreId);
                mark.Step();
            } else {
                // Through the table's own insert: its triggers keep the count
                // and the ranks' tally.
                TStatement add(writer_, "INSERT INTO scores(name, score, add_text, received_at, "
                                        "replay_id) VALUES(?, ?, ?, ?, ?) RETURNING id");
                add.BindText(1, verdict.Name);
                add.BindInt(2, verdict.Score);
                add.BindText(3, verdict.Add);
                add.BindInt(4, receivedAt);
                add.BindInt(5, id);
                if (!add.Step())
                    Fail(writer_, "insert returned no id");
                result.ScoreId = add.Int(0);
                result.AddedRow = true;
                while (add.Step()) {
                }
            }
        }
        TStatement finish(
            writer_,
            "UPDATE replay_jobs SET state = ?, outcome = ?, reason = ?, "
            "score_id = ?, attempts = attempts + 1, finished_at = CAST(strftime('%s', 'now') AS "
            "INTEGER) WHERE replay_id = ?");
        finish.BindText(1, result.Verified ? "verified" : "refused");
        finish.BindText(2, result.Outcome);
        finish.BindText(3, result.Reason);
        finish.BindInt(4, result.ScoreId);
        finish.BindInt(5, id);
        finish.Step();
        Exec(writer_, "COMMIT");
        return result;
    } catch (...) {
        sqlite3_exec(writer_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<std::string> TSqliteScoreStore::VerifiedReplay(int64_t replayId) {
    const std::lock_guard lock(readMutex_);
    TStatement select(reader_, "SELECT r.bytes FROM replays AS r JOIN replay_jobs AS j "
                               "ON j.replay_id = r.id WHERE r.id = ? AND j.state = 'verified'");
    select.BindInt(1, replayId);
    if (!select.Step())
        return std::nullopt;
    return select.Bytes(0);
}

std::optional<TReplayJobState> TSqliteScoreStore::ReplayJob(int64_t replayId) {
    const std::lock_guard lock(readMutex_);
    TStatement select(reader_,
                      "SELECT state, reason, score_id FROM replay_jobs WHERE replay_id = ?");
    select.BindInt(1, replayId);
    if (!select.Step())
        return std::nullopt;
    return TReplayJobState{select.Bytes(0), select.Bytes(1), select.Int(2)};
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

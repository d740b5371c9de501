#include "server/postgres_score_store.hpp"

#include <libpq-fe.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace vantorel::server {

namespace {

// Texts are stored as bytea: the game's names and add texts are single bytes
// (Windows-1252), and a text column would have them checked against the
// database's encoding (UTF8 refuses 0x80-0xFF alone) or converted on the way
// in and out. bytea keeps every byte as sent, in a database of any encoding.
// Servers starting together on a new database take turns through an advisory
// lock: two CREATE ... IF NOT EXISTS at once can still collide.
constexpr const char* kCreateTable = R"sql(
SELECT pg_advisory_xact_lock(7311082641195560960);
CREATE TABLE IF NOT EXISTS scores (
    id bigserial PRIMARY KEY,
    name bytea NOT NULL,
    score integer NOT NULL,
    add_text bytea NOT NULL,
    received_at bigint NOT NULL
);
CREATE INDEX IF NOT EXISTS scores_rank ON scores (score DESC, id ASC);
)sql";

constexpr const char* kHasCounter =
    "SELECT count(*) FROM pg_trigger WHERE tgrelid = 'scores'::regclass "
    "AND tgname = 'scores_count_rows'";

// The row count, kept by triggers (hand deletions and TRUNCATE included):
// count(*) reads the whole table, some 50 ms at a million rows, on every page.
// The count is spread over 16 rows, each connection adding to its own, so that
// servers adding at once seldom wait for each other's commit on one row. The
// triggers run once a statement, not once a row: a COPY of a million rows in
// one transaction makes one new version of a count row, not a million.
// Made, or made again when the scores table was replaced, while inserts wait.
// The function keeps the search path it was made with, so a session with
// another search path still counts in this table.
constexpr const char* kCreateCounter = R"sql(
LOCK TABLE scores IN SHARE ROW EXCLUSIVE MODE;
DROP TABLE IF EXISTS scores_count;
CREATE TABLE scores_count (slot integer PRIMARY KEY, n bigint NOT NULL);
INSERT INTO scores_count SELECT slot, 0 FROM generate_series(0, 15) AS slot;
UPDATE scores_count SET n = (SELECT count(*) FROM scores) WHERE slot = 0;
CREATE OR REPLACE FUNCTION scores_count_rows() RETURNS trigger LANGUAGE plpgsql
SET search_path FROM CURRENT AS $$
BEGIN
    IF TG_OP = 'INSERT' THEN
        UPDATE scores_count SET n = n + (SELECT count(*) FROM added)
            WHERE slot = pg_backend_pid() % 16;
    ELSIF TG_OP = 'DELETE' THEN
        UPDATE scores_count SET n = n - (SELECT count(*) FROM removed)
            WHERE slot = pg_backend_pid() % 16;
    ELSE
        UPDATE scores_count SET n = 0;
    END IF;
    RETURN NULL;
END
$$;
CREATE TRIGGER scores_count_rows AFTER INSERT ON scores REFERENCING NEW TABLE AS added
    FOR EACH STATEMENT EXECUTE FUNCTION scores_count_rows();
CREATE TRIGGER scores_count_removed AFTER DELETE ON scores REFERENCING OLD TABLE AS removed
    FOR EACH STATEMENT EXECUTE FUNCTION scores_count_rows();
CREATE TRIGGER scores_count_truncate AFTER TRUNCATE ON scores
    FOR EACH STATEMENT EXECUTE FUNCTION scores_count_rows();
)sql";

constexpr const char* kInsert = "INSERT INTO scores (name, score, add_text, received_at) "
                                "VALUES ($1, $2, $3, $4) RETURNING id";
constexpr const char* kTop = "SELECT id, name, score, add_text, received_at FROM scores "
                             "ORDER BY score DESC, id ASC LIMIT $1";
constexpr const char* kCount = "SELECT sum(n)::bigint FROM scores_count";

// The type numbers of PostgreSQL's built-in types, fixed since its first
// releases (pg_type.oid).
constexpr Oid kByteaOid = 17;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt4Oid = 23;

/// More request threads than this wait for a connection instead of opening one:
/// several server processes share one database and its connection limit.
constexpr size_t kMaxConnections = 16;

struct TConnectionClose {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using TConnection = std::unique_ptr<PGconn, TConnectionClose>;

struct TResultClear {
    void operator()(PGresult* result) const { PQclear(result); }
};
using TResult = std::unique_ptr<PGresult, TResultClear>;

std::string WithoutTrailingNewlines(const char* message) {
    std::string text = message != nullptr ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

/// One bound parameter, always sent in binary form: integers big-endian, bytea
/// as its bytes.
struct TParameter {
    Oid Type;
    std::string Bytes;
};

TParameter BigEndian(Oid type, uint64_t value, size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[size - 1 - i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
    return {type, std::move(bytes)};
}

TParameter Int4(int32_t value) {
    return BigEndian(kInt4Oid, static_cast<uint32_t>(value), 4);
}

TParameter Int8(int64_t value) {
    return BigEndian(kInt8Oid, static_cast<uint64_t>(value), 8);
}

TParameter Bytea(const std::string& value) {
    return {kByteaOid, value};
}

/// Runs one statement with bound parameters and binary results; throws with
/// the database's message unless it succeeded.
TResult Execute(PGconn* connection, const char* sql, const std::vector<TParameter>& parameters) {
    std::vector<Oid> types;
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    for (const TParameter& parameter : parameters) {
        types.push_back(parameter.Type);
        values.push_back(parameter.Bytes.data());
        lengths.push_back(static_cast<int>(parameter.Bytes.size()));
        formats.push_back(1);
    }
    TResult result(PQexecParams(connection, sql, static_cast<int>(parameters.size()), types.data(),
                                values.data(), lengths.data(), formats.data(), 1));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        const char* message = result ? PQresultErrorMessage(result.get()) : "";
        if (message == nullptr || *message == '\0')
            message = PQerrorMessage(connection);
        throw std::runtime_error("PostgreSQL: " + WithoutTrailingNewlines(message));
    }
    return result;
}

/// A binary integer field of the given size (4 or 8 bytes, big-endian).
int64_t IntegerField(const PGresult* result, int row, int column) {
    const int length = PQgetlength(result, row, column);
    if (PQgetisnull(result, row, column) != 0 || (length != 4 && length != 8))
        throw std::runtime_error("PostgreSQL: unexpected integer field in the answer");
    const auto* bytes = reinterpret_cast<const unsigned char*>(PQgetvalue(result, row, column));
    uint64_t value = 0;
    for (int i = 0; i < length; ++i)
        value = (value << 8) | bytes[i];
    if (length == 4)
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    return static_cast<int64_t>(value);
}

std::string BytesField(const PGresult* result, int row, int column) {
    return std::string(PQgetvalue(result, row, column),
                       static_cast<size_t>(PQgetlength(result, row, column)));
}

class TPostgresScoreStore final : public IScoreStore {
public:
    explicit TPostgresScoreStore(std::string connection) : connection_(std::move(connection)) {
        TConnection first = Connect();
        CreateTables(first.get());
        open_ = 1;
        Release(std::move(first));
    }

    int64_t Add(const std::string& name, int32_t score, const std::string& add,
                int64_t receivedAt) override {
        // Never sent twice: after a lost connection the row may or may not be
        // committed, and a second try could store one report twice.
        return Use(false, [&](PGconn* connection) {
            TResult result = Execute(connection, kInsert,
                                     {Bytea(name), Int4(score), Bytea(add), Int8(receivedAt)});
            return IntegerField(result.get(), 0, 0);
        });
    }

    std::vector<TStoredScore> Top(size_t limit) override {
        const auto rows = static_cast<int64_t>(
            std::min<uint64_t>(limit, static_cast<uint64_t>(std::numeric_limits<int64_t>::max())));
        return Use(true, [&](PGconn* connection) {
            TResult result = Execute(connection, kTop, {Int8(rows)});
            std::vector<TStoredScore> scores;
            const int count = PQntuples(result.get());
            scores.reserve(static_cast<size_t>(count));
            for (int row = 0; row < count; ++row) {
                TStoredScore score;
                score.Id = IntegerField(result.get(), row, 0);
                score.Name = BytesField(result.get(), row, 1);
                score.Score = static_cast<int32_t>(IntegerField(result.get(), row, 2));
                score.Add = BytesField(result.get(), row, 3);
                score.ReceivedAt = IntegerField(result.get(), row, 4);
                scores.push_back(std::move(score));
            }
            return scores;
        });
    }

    int64_t Count() override {
        return Use(true, [&](PGconn* connection) {
            TResult result = Execute(connection, kCount, {});
            return IntegerField(result.get(), 0, 0);
        });
    }

    bool Healthy() override {
        try {
            return Use(true, [&](PGconn* connection) {
                Execute(connection, "SELECT 1", {});
                return true;
            });
        } catch (const std::runtime_error&) {
            return false;
        }
    }

private:
    /// The table, its index and its counter, when missing, in one transaction.
    static void CreateTables(PGconn* connection) {
        const auto run = [&](const char* sql) {
            TResult result(PQexec(connection, sql));
            const ExecStatusType status = PQresultStatus(result.get());
            if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
                throw std::runtime_error("PostgreSQL: cannot create the scores table: " +
                                         WithoutTrailingNewlines(PQerrorMessage(connection)));
            return result;
        };
        run("BEGIN");
        run("SET LOCAL client_min_messages TO warning"); // no "already exists" notices
        run(kCreateTable);
        TResult counters = run(kHasCounter);
        if (PQntuples(counters.get()) != 1 ||
            std::strcmp(PQgetvalue(counters.get(), 0, 0), "0") == 0)
            run(kCreateCounter);
        run("COMMIT");
    }

    /// A new connection, ready for statements. The connection string may set
    /// its own connect_timeout and application_name; these are only defaults.
    TConnection Connect() const {
        const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
        const char* values[] = {"10", "vantorel-scored", connection_.c_str(), nullptr};
        TConnection connection(PQconnectdbParams(keywords, values, 1));
        if (!connection)
            throw std::runtime_error("PostgreSQL: out of memory while connecting");
        if (PQstatus(connection.get()) != CONNECTION_OK)
            throw std::runtime_error("PostgreSQL: cannot connect: " +
                                     WithoutTrailingNewlines(PQerrorMessage(connection.get())));
        // A database set to synchronous_commit=off would answer an insert
        // before its row is on disk; an acknowledged report must survive a crash.
        TResult setting(PQexec(connection.get(), "SELECT current_setting('synchronous_commit')"));
        if (PQresultStatus(setting.get()) == PGRES_TUPLES_OK && PQntuples(setting.get()) == 1 &&
            std::strcmp(PQgetvalue(setting.get(), 0, 0), "off") == 0)
            TResult(PQexec(connection.get(), "SET synchronous_commit = on"));
        return connection;
    }

    /// An idle pooled connection, or a new one while fewer than kMaxConnections
    /// are open; waits otherwise.
    TConnection Acquire() {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [&] { return !idle_.empty() || open_ < kMaxConnections; });
        if (!idle_.empty()) {
            TConnection connection = std::move(idle_.back());
            idle_.pop_back();
            return connection;
        }
        ++open_;
        lock.unlock();
        try {
            return Connect();
        } catch (...) {
            lock.lock();
            --open_;
            freed_.notify_one();
            throw;
        }
    }

    /// Back to the pool when it is still usable; closed otherwise, so the next
    /// request connects afresh (after a database restart, say).
    void Release(TConnection connection) {
        const bool usable = PQstatus(connection.get()) == CONNECTION_OK &&
                            PQtransactionStatus(connection.get()) == PQTRANS_IDLE;
        std::lock_guard lock(mutex_);
        if (usable) {
            idle_.push_back(std::move(connection));
        } else {
            connection.reset();
            --open_;
        }
        freed_.notify_one();
    }

    /// Runs work on a pooled connection. A statement that only reads is tried
    /// once more on a fresh connection when the pooled one turned out lost.
    template <class TWork>
    std::invoke_result_t<TWork, PGconn*> Use(bool retryWhenLost, TWork work) {
        for (int attempt = 0;; ++attempt) {
            TConnection connection = Acquire();
            try {
                auto answer = work(connection.get());
                Release(std::move(connection));
                return answer;
            } catch (const std::runtime_error&) {
                const bool lost = PQstatus(connection.get()) != CONNECTION_OK;
                Release(std::move(connection));
                if (!lost || !retryWhenLost || attempt > 0)
                    throw;
            }
        }
    }

    const std::string connection_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<TConnection> idle_;
    size_t open_ = 0; ///< connections open, idle or in use
};

} // namespace

std::unique_ptr<IScoreStore> OpenPostgresScoreStore(const std::string& connection) {
    return std::make_unique<TPostgresScoreStore>(connection);
}

} // namespace vantorel::server

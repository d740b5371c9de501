#include "server/postgres_score_store.hpp"

#include "server/score_tally.hpp"

#include <libpq-fe.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <tuple>
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
CREATE UNLOGGED TABLE IF NOT EXISTS report_buckets (
    client bytea PRIMARY KEY,
    tokens double precision NOT NULL,
    at bigint NOT NULL,
    taken boolean NOT NULL
);
CREATE UNLOGGED TABLE IF NOT EXISTS report_repeats (
    client bytea NOT NULL,
    code bytea NOT NULL,
    at bigint NOT NULL,
    PRIMARY KEY (client, code)
);
CREATE TABLE IF NOT EXISTS replays (
    id bigserial PRIMARY KEY,
    bytes bytea NOT NULL,
    digest bigint NOT NULL,
    received_at bigint NOT NULL
);
CREATE INDEX IF NOT EXISTS replays_digest ON replays (digest);
CREATE TABLE IF NOT EXISTS replay_jobs (
    replay_id bigint PRIMARY KEY REFERENCES replays (id),
    state text NOT NULL DEFAULT 'queued',
    outcome text NOT NULL DEFAULT '',
    reason text NOT NULL DEFAULT '',
    score_id bigint NOT NULL DEFAULT 0,
    attempts integer NOT NULL DEFAULT 0,
    finished_at bigint
);
CREATE INDEX IF NOT EXISTS replay_jobs_queued ON replay_jobs (replay_id) WHERE state = 'queued';
)sql";

// The rows' link to the replay that proved them, added to a table made before
// replays were taken (looked for first: ALTER TABLE would wait for every
// transaction on the table, a verification's included, even with IF NOT
// EXISTS). The verified rows have an index of their own in the ranking's order.
constexpr const char* kHasReplayColumn =
    "SELECT count(*) FROM pg_attribute WHERE attrelid = 'scores'::regclass "
    "AND attname = 'replay_id' AND NOT attisdropped";
constexpr const char* kAddReplayColumn = R"sql(
ALTER TABLE scores ADD COLUMN IF NOT EXISTS replay_id bigint REFERENCES replays (id);
CREATE INDEX IF NOT EXISTS scores_verified ON scores (score DESC, id ASC)
    WHERE replay_id IS NOT NULL;
)sql";

// A replay's verification job, claimed by one server among any number: the row
// stays locked by the claiming transaction while the verifier plays the file,
// and the others skip it. A server that dies mid-job ends its transaction with
// its connection, and the job is queued again for the next.
constexpr const char* kClaimJob =
    "SELECT r.id, r.bytes, r.received_at, j.attempts FROM replay_jobs AS j "
    "JOIN replays AS r ON r.id = j.replay_id WHERE j.state = 'queued' "
    "ORDER BY j.attempts, j.replay_id LIMIT 1 FOR UPDATE OF j SKIP LOCKED";
// The same file verified before: one row per game. Checked under a lock on the
// digest, so two servers verifying two copies of one file at once take turns.
constexpr const char* kLockDigest = "SELECT pg_advisory_xact_lock($1)";
constexpr const char* kSeenBefore =
    "SELECT r.id FROM replays AS r JOIN replay_jobs AS j ON j.replay_id = r.id "
    "WHERE r.digest = $1 AND r.id <> $2 AND j.state = 'verified' AND r.bytes = $3 LIMIT 1";
constexpr const char* kMatchRow =
    "SELECT id FROM scores WHERE score = $1 AND name = $2 AND add_text = $3 "
    "AND replay_id IS NULL ORDER BY id LIMIT 1 FOR UPDATE";
constexpr const char* kMarkRow = "UPDATE scores SET replay_id = $1 WHERE id = $2";
constexpr const char* kAddVerifiedRow =
    "INSERT INTO scores (name, score, add_text, received_at, replay_id) "
    "VALUES ($1, $2, $3, $4, $5) RETURNING id";
constexpr const char* kTryLater = "UPDATE replay_jobs SET attempts = attempts + 1, outcome = $1, "
                                  "reason = $2 WHERE replay_id = $3";
constexpr const char* kFinishJob =
    "UPDATE replay_jobs SET state = $1, outcome = $2, reason = $3, score_id = $4, "
    "attempts = attempts + 1, finished_at = extract(epoch FROM now())::bigint WHERE replay_id = $5";

// The limits every server on the database shares (TSharedLimits): the same
// token bucket as TRateLimiter's, one row a client, on the reports' own clock
// (whole seconds), and the codes each client sent lately. The tables are
// UNLOGGED: they cost no log flush, and a database crash that empties them only
// refills buckets and forgets ten minutes of repeats. A client's bucket and its
// repeat entries are rows locked until the batch commits, so two servers taking
// reports from one client count them one after the other. Every batch takes
// its rows in one order (repeats, then buckets, each sorted by key), so two
// batches never wait for each other in a circle. A bucket unseen for a minute
// is full, as good as none, so it is deleted.
constexpr const char* kNoteRepeat =
    "INSERT INTO report_repeats AS r (client, code, at) VALUES ($1, $2, $3) "
    "ON CONFLICT (client, code) DO UPDATE SET at = excluded.at "
    "WHERE r.at <= excluded.at - $4 RETURNING 1";
constexpr const char* kTakeToken = R"sql(
INSERT INTO report_buckets AS b (client, tokens, at, taken) VALUES ($1, $3::float8 - 1, $2, true)
ON CONFLICT (client) DO UPDATE SET
    taken = LEAST($3::float8, b.tokens + GREATEST($2 - b.at, 0)::float8 * $3 / 60) >= 1,
    tokens = LEAST($3::float8, b.tokens + GREATEST($2 - b.at, 0)::float8 * $3 / 60) -
             CASE WHEN LEAST($3::float8, b.tokens + GREATEST($2 - b.at, 0)::float8 * $3 / 60) >= 1
                  THEN 1 ELSE 0 END,
    at = GREATEST(b.at, $2)
RETURNING taken
)sql";
constexpr const char* kForgetOldLimits = "DELETE FROM report_buckets WHERE at < $1";
constexpr const char* kForgetOldRepeats = "DELETE FROM report_repeats WHERE at < $1";

// A batch's writes wait this long at most for a lock, and run this long at
// most, so that a stuck transaction elsewhere turns into a quick 503 for the
// batch instead of senders waiting without end. Reads never wait for writers.
constexpr const char* kBeginBatch =
    "BEGIN; SET LOCAL lock_timeout = 1500; SET LOCAL statement_timeout = 2000";

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
constexpr const char* kTop = "SELECT id, name, score, add_text, received_at, "
                             "coalesce(replay_id, 0) FROM scores "
                             "ORDER BY score DESC, id ASC LIMIT $1";
constexpr const char* kCount = "SELECT sum(n)::bigint FROM scores_count";

// What the page reads besides the table: an index on the folded name for the
// name search (TNamePrefix; the fold of LowerCp1252 on bytea, so it is the same
// in a database of any encoding and locale) and the counts per score range of
// TScoreTally. Each connection adds to tally rows of its own (keyed by its
// backend's process id), so batches committing at once never wait for one
// another on a tally row, in whatever order they touch them. Made, with the
// counts filled from the rows, when missing (a database from before them, or a
// scores table made again), while inserts wait.
constexpr const char* kHasRanking =
    "SELECT count(*) FROM pg_trigger WHERE tgrelid = 'scores'::regclass "
    "AND tgname = 'scores_tally_added'";

constexpr const char* kCreateRanking = R"sql(
LOCK TABLE scores IN SHARE ROW EXCLUSIVE MODE;
CREATE OR REPLACE FUNCTION scores_name_key(name bytea) RETURNS bytea
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    folded bytea := name;
    b integer;
BEGIN
    FOR i IN 0 .. length(name) - 1 LOOP
        b := get_byte(name, i);
        IF b BETWEEN 65 AND 90 OR (b BETWEEN 192 AND 222 AND b <> 215) THEN
            folded := set_byte(folded, i, b + 32);
        ELSIF b IN (138, 140, 142) THEN
            folded := set_byte(folded, i, b + 16);
        ELSIF b = 159 THEN
            folded := set_byte(folded, i, 255);
        END IF;
    END LOOP;
    RETURN folded;
END
$$;
CREATE INDEX IF NOT EXISTS scores_name ON scores (scores_name_key(name), score DESC, id ASC);
DROP TABLE IF EXISTS scores_tally;
CREATE TABLE scores_tally (
    level smallint NOT NULL,
    bucket bigint NOT NULL,
    backend integer NOT NULL,
    n bigint NOT NULL,
    PRIMARY KEY (level, bucket, backend) INCLUDE (n) -- a rank's sums read the index alone
);
INSERT INTO scores_tally
    SELECT level, (score::bigint + 2147483648) >> level, 0, count(*)
    FROM scores, unnest(ARRAY[30, 24, 18, 12, 6]) AS level GROUP BY 1, 2;
CREATE OR REPLACE FUNCTION scores_tally_rows() RETURNS trigger LANGUAGE plpgsql
SET search_path FROM CURRENT AS $$
BEGIN
    IF TG_OP = 'TRUNCATE' THEN
        DELETE FROM scores_tally;
    ELSIF TG_OP = 'INSERT' THEN
        INSERT INTO scores_tally AS t (level, bucket, backend, n)
            SELECT level, (score::bigint + 2147483648) >> level, pg_backend_pid(), count(*)
            FROM added, unnest(ARRAY[30, 24, 18, 12, 6]) AS level GROUP BY 1, 2
            ON CONFLICT (level, bucket, backend) DO UPDATE SET n = t.n + excluded.n;
    ELSIF TG_OP = 'DELETE' THEN
        INSERT INTO scores_tally AS t (level, bucket, backend, n)
            SELECT level, (score::bigint + 2147483648) >> level, pg_backend_pid(), -count(*)
            FROM removed, unnest(ARRAY[30, 24, 18, 12, 6]) AS level GROUP BY 1, 2
            ON CONFLICT (level, bucket, backend) DO UPDATE SET n = t.n + excluded.n;
    ELSE
        INSERT INTO scores_tally AS t (level, bucket, backend, n)
            SELECT level, (score::bigint + 2147483648) >> level, pg_backend_pid(), sum(d)
            FROM (SELECT score, 1 AS d FROM added UNION ALL SELECT score, -1 FROM removed) AS c,
                unnest(ARRAY[30, 24, 18, 12, 6]) AS level GROUP BY 1, 2
            ON CONFLICT (level, bucket, backend) DO UPDATE SET n = t.n + excluded.n;
    END IF;
    RETURN NULL;
END
$$;
CREATE TRIGGER scores_tally_added AFTER INSERT ON scores REFERENCING NEW TABLE AS added
    FOR EACH STATEMENT EXECUTE FUNCTION scores_tally_rows();
CREATE TRIGGER scores_tally_removed AFTER DELETE ON scores REFERENCING OLD TABLE AS removed
    FOR EACH STATEMENT EXECUTE FUNCTION scores_tally_rows();
CREATE TRIGGER scores_tally_moved AFTER UPDATE ON scores
    REFERENCING OLD TABLE AS removed NEW TABLE AS added
    FOR EACH STATEMENT EXECUTE FUNCTION scores_tally_rows();
CREATE TRIGGER scores_tally_truncated AFTER TRUNCATE ON scores
    FOR EACH STATEMENT EXECUTE FUNCTION scores_tally_rows();
)sql";

// The tally rows of connections that have ended, folded into one row a bucket
// at each start, so that reconnections do not grow the tally without end.
// Rows of live connections are left alone: their owners may hold them.
constexpr const char* kFoldTally = R"sql(
WITH gone AS (
    DELETE FROM scores_tally
    WHERE backend <> 0 AND backend NOT IN (SELECT pid FROM pg_stat_activity)
    RETURNING level, bucket, n)
INSERT INTO scores_tally AS t (level, bucket, backend, n)
    SELECT level, bucket, 0, sum(n) FROM gone GROUP BY 1, 2
    ON CONFLICT (level, bucket, backend) DO UPDATE SET n = t.n + excluded.n;
)sql";

constexpr const char* kRangeFrom = "SELECT id, name, score, add_text, received_at, "
                                   "coalesce(replay_id, 0) FROM scores "
                                   "WHERE score <= $1 ORDER BY score DESC, id ASC "
                                   "LIMIT $2 OFFSET $3";

/// The folded-name range of a prefix, its bounds as parameters $1 and $2.
std::string NameRangeSql(const TNamePrefix& prefix) {
    return std::string("scores_name_key(name) >= $1") +
           (prefix.To() ? " AND scores_name_key(name) < $2" : "");
}

// The type numbers of PostgreSQL's built-in types, fixed since its first
// releases (pg_type.oid).
constexpr Oid kByteaOid = 17;
constexpr Oid kInt8Oid = 20;
constexpr Oid kInt4Oid = 23;
constexpr Oid kTextOid = 25;

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

/// ASCII text (a job's state and reason).
TParameter Text(const std::string& value) {
    return {kTextOid, value};
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

/// Execute for the page's reads, through a statement prepared once on each
/// connection under name: their queries take longer to plan (some 3 ms) than
/// to run. A connection that has not prepared it yet (a new one, or one made
/// again after the database restarted) prepares it on first use.
TResult ExecutePrepared(PGconn* connection, const char* name, const std::string& sql,
                        const std::vector<TParameter>& parameters) {
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
    const auto run = [&] {
        return TResult(PQexecPrepared(connection, name, static_cast<int>(parameters.size()),
                                      values.data(), lengths.data(), formats.data(), 1));
    };
    const auto failed = [](const PGresult* result) {
        const ExecStatusType status = PQresultStatus(result);
        return status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK;
    };
    TResult result = run();
    if (failed(result.get())) {
        const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
        if (state != nullptr && std::strcmp(state, "26000") == 0) { // no such statement yet
            TResult prepared(PQprepare(connection, name, sql.c_str(),
                                       static_cast<int>(parameters.size()), types.data()));
            if (!failed(prepared.get()))
                result = run();
        }
    }
    if (failed(result.get())) {
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

/// Columns id, name, score, add_text, received_at, replay_id of a row.
TStoredScore RowAt(const PGresult* result, int row) {
    return {IntegerField(result, row, 0),
            BytesField(result, row, 1),
            static_cast<int32_t>(IntegerField(result, row, 2)),
            BytesField(result, row, 3),
            IntegerField(result, row, 4),
            IntegerField(result, row, 5)};
}

int64_t SqlLimit(size_t limit) {
    return static_cast<int64_t>(
        std::min<uint64_t>(limit, static_cast<uint64_t>(std::numeric_limits<int64_t>::max())));
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

    std::vector<TAddOutcome> AddBatch(const std::vector<TNewScore>& reports,
                                      const TSharedLimits& limits) override {
        std::vector<TAddOutcome> outcomes(reports.size(), TAddOutcome::Stored);
        if (reports.empty())
            return outcomes;
        // Never sent twice, as Add.
        Use(false, [&](PGconn* connection) {
            Simple(connection, kBeginBatch);
            try {
                HoldLimits(connection, reports, limits, outcomes);
                InsertStored(connection, reports, outcomes);
                Simple(connection, "COMMIT");
            } catch (...) {
                if (PQstatus(connection) == CONNECTION_OK)
                    TResult(PQexec(connection, "ROLLBACK"));
                throw;
            }
            return true;
        });
        ForgetOldLimits(reports.front().ReceivedAt, limits);
        return outcomes;
    }

    std::vector<TStoredScore> Top(size_t limit) override {
        const auto rows = static_cast<int64_t>(
            std::min<uint64_t>(limit, static_cast<uint64_t>(std::numeric_limits<int64_t>::max())));
        return Use(true, [&](PGconn* connection) {
            TResult result = Execute(connection, kTop, {Int8(rows)});
            std::vector<TStoredScore> scores;
            const int count = PQntuples(result.get());
            scores.reserve(static_cast<size_t>(count));
            for (int row = 0; row < count; ++row)
                scores.push_back(RowAt(result.get(), row));
            return scores;
        });
    }

    int64_t Count() override {
        return Use(true, [&](PGconn* connection) {
            TResult result = Execute(connection, kCount, {});
            return IntegerField(result.get(), 0, 0);
        });
    }

    std::vector<TStoredScore> Range(int64_t first, size_t limit) override {
        if (limit == 0 || first < 0)
            return {};
        return Use(true, [&](PGconn* connection) {
            const auto start = TScoreTally::Locate(first, [&](int level, int64_t from, int64_t to) {
                TResult result =
                    ExecutePrepared(connection, "vantorel_tally_level", TScoreTally::LevelSql(),
                                    {Int8(level), Int8(from), Int8(to)});
                std::vector<std::pair<int64_t, int64_t>> buckets;
                for (int row = 0; row < PQntuples(result.get()); ++row)
                    buckets.emplace_back(IntegerField(result.get(), row, 0),
                                         IntegerField(result.get(), row, 1));
                return buckets;
            });
            std::vector<TStoredScore> scores;
            if (!start)
                return scores;
            TResult result = ExecutePrepared(
                connection, "vantorel_range_from", kRangeFrom,
                {Int8(start->HighestScore), Int8(SqlLimit(limit)), Int8(first - start->Before)});
            for (int row = 0; row < PQntuples(result.get()); ++row)
                scores.push_back(RowAt(result.get(), row));
            return scores;
        });
    }

    std::vector<TRankedScore> FindByName(const TNamePrefix& prefix, int64_t first,
                                         size_t limit) override {
        return Find(&prefix, false, first, limit);
    }

    int64_t CountByName(const TNamePrefix& prefix, int64_t cap) override {
        return CountWhere(&prefix, false, cap);
    }

    std::vector<TRankedScore> Verified(int64_t first, size_t limit) override {
        return Find(nullptr, true, first, limit);
    }

    int64_t CountVerified() override {
        return CountWhere(nullptr, true, std::numeric_limits<int64_t>::max());
    }

    std::vector<TRankedScore> FindVerifiedByName(const TNamePrefix& prefix, int64_t first,
                                                 size_t limit) override {
        return Find(&prefix, true, first, limit);
    }

    int64_t CountVerifiedByName(const TNamePrefix& prefix, int64_t cap) override {
        return CountWhere(&prefix, true, cap);
    }

    int64_t AddReplay(const std::string& bytes, int64_t receivedAt) override {
        // Never sent twice, as Add.
        return Use(false, [&](PGconn* connection) {
            TResult result =
                Execute(connection,
                        "WITH kept AS (INSERT INTO replays (bytes, digest, received_at) "
                        "VALUES ($1, $2, $3) RETURNING id) "
                        "INSERT INTO replay_jobs (replay_id) SELECT id FROM kept "
                        "RETURNING replay_id",
                        {Bytea(bytes), Int8(ReplayDigest(bytes)), Int8(receivedAt)});
            return IntegerField(result.get(), 0, 0);
        });
    }

    std::optional<TReplayJobResult> CheckNextReplay(const TReplayCheck& check) override {
        return Use(false, [&](PGconn* connection) -> std::optional<TReplayJobResult> {
            Simple(connection, "BEGIN");
            try {
                TResult next = Execute(connection, kClaimJob, {});
                if (PQntuples(next.get()) == 0) {
                    Simple(connection, "COMMIT");
                    return std::nullopt;
                }
                const int64_t id = IntegerField(next.get(), 0, 0);
                const std::string bytes = BytesField(next.get(), 0, 1);
                const int64_t receivedAt = IntegerField(next.get(), 0, 2);
                const int64_t attempts = IntegerField(next.get(), 0, 3);
                const TReplayVerdict verdict = check(id, bytes);
                // The verdict's writes wait no longer than a batch's.
                Simple(connection, "SET LOCAL lock_timeout = 1500; "
                                   "SET LOCAL statement_timeout = 2000");
                TReplayJobResult result;
                if (verdict.Retry && attempts + 1 < kMaxReplayAttempts) {
                    Execute(connection, kTryLater,
                            {Text(verdict.Outcome), Text(verdict.Reason), Int8(id)});
                    result = {id, false, 0, false, "retry", verdict.Reason};
                } else {
                    result = Record(connection, id, bytes, receivedAt, verdict);
                }
                Simple(connection, "COMMIT");
                return result;
            } catch (...) {
                if (PQstatus(connection) == CONNECTION_OK)
                    TResult(PQexec(connection, "ROLLBACK"));
                throw;
            }
        });
    }

    std::optional<std::string> VerifiedReplay(int64_t replayId) override {
        return Use(true, [&](PGconn* connection) -> std::optional<std::string> {
            TResult result =
                Execute(connection,
                        "SELECT r.bytes FROM replays AS r JOIN replay_jobs AS j "
                        "ON j.replay_id = r.id WHERE r.id = $1 AND j.state = 'verified'",
                        {Int8(replayId)});
            if (PQntuples(result.get()) == 0)
                return std::nullopt;
            return BytesField(result.get(), 0, 0);
        });
    }

    std::optional<TReplayJobState> ReplayJob(int64_t replayId) override {
        return Use(true, [&](PGconn* connection) -> std::optional<TReplayJobState> {
            TResult result = Execute(
                connection, "SELECT state, reason, score_id FROM replay_jobs WHERE replay_id = $1",
                {Int8(replayId)});
            if (PQntuples(result.get()) == 0)
                return std::nullopt;
            return TReplayJobState{BytesField(result.get(), 0, 0), BytesField(result.get(), 0, 1),
                                   IntegerField(result.get(), 0, 2)};
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
    /// Rows with world ranks: by folded name when prefix is given, else in the
    /// ranking's order; verified ones only when verifiedOnly.
    std::vector<TRankedScore> Find(const TNamePrefix* prefix, bool verifiedOnly, int64_t first,
                                   size_t limit) {
        if (limit == 0 || first < 0)
            return {};
        std::vector<TParameter> parameters;
        std::string where = verifiedOnly ? "replay_id IS NOT NULL" : "true";
        if (prefix) {
            parameters.push_back(Bytea(prefix->From()));
            if (prefix->To())
                parameters.push_back(Bytea(*prefix->To()));
            where += " AND " + NameRangeSql(*prefix);
        }
        const std::string limits = " LIMIT $" + std::to_string(parameters.size() + 1) +
                                   " OFFSET $" + std::to_string(parameters.size() + 2);
        parameters.push_back(Int8(SqlLimit(limit)));
        parameters.push_back(Int8(first));
        const std::string sql =
            "SELECT hit.id, hit.name, hit.score, hit.add_text, hit.received_at, hit.replay_id, " +
            TScoreTally::RankSql("hit") +
            " FROM (SELECT id, name, score, add_text, received_at, coalesce(replay_id, 0) AS "
            "replay_id FROM scores WHERE " +
            where + " ORDER BY " + (prefix ? "scores_name_key(name), " : "") +
            "score DESC, id ASC" + limits + ") AS hit";
        const std::string name = std::string("vantorel_find") + (verifiedOnly ? "_verified" : "") +
                                 (prefix ? (prefix->To() ? "_name" : "_name_to_end") : "");
        std::vector<TRankedScore> hits = Use(true, [&](PGconn* connection) {
            TResult result = ExecutePrepared(connection, name.c_str(), sql, parameters);
            std::vector<TRankedScore> rows;
            for (int row = 0; row < PQntuples(result.get()); ++row)
                rows.push_back({IntegerField(result.get(), row, 6), RowAt(result.get(), row)});
            return rows;
        });
        // In the index's order: the query's outer select does not promise to keep it.
        std::sort(hits.begin(), hits.end(), [&](const TRankedScore& a, const TRankedScore& b) {
            if (prefix) {
                const std::string foldedA = TNamePrefix::Fold(a.Row.Name);
                const std::string foldedB = TNamePrefix::Fold(b.Row.Name);
                if (foldedA != foldedB)
                    return foldedA < foldedB;
            }
            return a.Rank < b.Rank;
        });
        return hits;
    }

    int64_t CountWhere(const TNamePrefix* prefix, bool verifiedOnly, int64_t cap) {
        std::vector<TParameter> parameters;
        std::string where = verifiedOnly ? "replay_id IS NOT NULL" : "true";
        if (prefix) {
            parameters.push_back(Bytea(prefix->From()));
            if (prefix->To())
                parameters.push_back(Bytea(*prefix->To()));
            where += " AND " + NameRangeSql(*prefix);
        }
        const std::string sql = "SELECT count(*) FROM (SELECT 1 FROM scores WHERE " + where +
                                " LIMIT $" + std::to_string(parameters.size() + 1) + ") AS hit";
        parameters.push_back(Int8(std::max<int64_t>(cap, 0)));
        const std::string name = std::string("vantorel_count") + (verifiedOnly ? "_verified" : "") +
                                 (prefix ? (prefix->To() ? "_name" : "_name_to_end") : "");
        return Use(true, [&](PGconn* connection) {
            TResult result = ExecutePrepared(connection, name.c_str(), sql, parameters);
            return IntegerField(result.get(), 0, 0);
        });
    }

    /// Writes a verdict inside the claiming transaction (CheckNextReplay).
    static TReplayJobResult Record(PGconn* connection, int64_t id, const std::string& bytes,
                                   int64_t receivedAt, const TReplayVerdict& verdict) {
        TReplayJobResult result{id, false, 0, false, verdict.Outcome, verdict.Reason};
        if (verdict.Verified) {
            const int64_t digest = ReplayDigest(bytes);
            Execute(connection, kLockDigest, {Int8(digest)});
            TResult seen = Execute(connection, kSeenBefore, {Int8(digest), Int8(id), Bytea(bytes)});
            if (PQntuples(seen.get()) > 0) {
                result.Outcome = "duplicate";
                result.Reason = "the same replay was verified before (replay " +
                                std::to_string(IntegerField(seen.get(), 0, 0)) + ")";
            } else {
                result.Verified = true;
                result.Outcome = "verified";
                result.Reason.clear();
                TResult match =
                    Execute(connection, kMatchRow,
                            {Int4(verdict.Score), Bytea(verdict.Name), Bytea(verdict.Add)});
                if (PQntuples(match.get()) > 0) {
                    result.ScoreId = IntegerField(match.get(), 0, 0);
                    Execute(connection, kMarkRow, {Int8(id), Int8(result.ScoreId)});
                } else {
                    TResult added = Execute(connection, kAddVerifiedRow,
                                            {Bytea(verdict.Name), Int4(verdict.Score),
                                             Bytea(verdict.Add), Int8(receivedAt), Int8(id)});
                    result.ScoreId = IntegerField(added.get(), 0, 0);
                    result.AddedRow = true;
                }
            }
        }
        Execute(connection, kFinishJob,
                {Text(result.Verified ? "verified" : "refused"), Text(result.Outcome),
                 Text(result.Reason), Int8(result.ScoreId), Int8(id)});
        return result;
    }

    /// A statement (or several) without parameters; throws unless it succeeded.
    static void Simple(PGconn* connection, const char* sql) {
        TResult result(PQexec(connection, sql));
        const ExecStatusType status = PQresultStatus(result.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw std::runtime_error("PostgreSQL: " +
                                     WithoutTrailingNewlines(PQerrorMessage(connection)));
    }

    /// Marks the reports that are repeats or over the shared rate, inside the
    /// batch's transaction.
    static void HoldLimits(PGconn* connection, const std::vector<TNewScore>& reports,
                           const TSharedLimits& limits, std::vector<TAddOutcome>& outcomes) {
        if (limits.RepeatSeconds <= 0 && limits.ReportsPerMinute == 0)
            return;
        std::vector<size_t> order(reports.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return std::tie(reports[a].Client, reports[a].Code, a) <
                   std::tie(reports[b].Client, reports[b].Code, b);
        });
        if (limits.RepeatSeconds > 0) {
            for (const size_t i : order) {
                TResult result = Execute(connection, kNoteRepeat,
                                         {Bytea(reports[i].Client), Bytea(reports[i].Code),
                                          Int8(reports[i].ReceivedAt), Int8(limits.RepeatSeconds)});
                if (PQntuples(result.get()) == 0)
                    outcomes[i] = TAddOutcome::Repeated;
            }
        }
        if (limits.ReportsPerMinute > 0) {
            for (const size_t i : order) {
                if (outcomes[i] != TAddOutcome::Stored)
                    continue;
                TResult result = Execute(connection, kTakeToken,
                                         {Bytea(reports[i].Client), Int8(reports[i].ReceivedAt),
                                          Int8(limits.ReportsPerMinute)});
                if (PQntuples(result.get()) != 1 || PQgetlength(result.get(), 0, 0) != 1)
                    throw std::runtime_error("PostgreSQL: unexpected answer to a rate count");
                if (PQgetvalue(result.get(), 0, 0)[0] == 0)
                    outcomes[i] = TAddOutcome::RateLimited;
            }
        }
    }

    /// One INSERT for every report still Stored: the counter's trigger runs once.
    static void InsertStored(PGconn* connection, const std::vector<TNewScore>& reports,
                             const std::vector<TAddOutcome>& outcomes) {
        std::string sql = "INSERT INTO scores (name, score, add_text, received_at) VALUES ";
        std::vector<TParameter> parameters;
        for (size_t i = 0; i < reports.size(); ++i) {
            if (outcomes[i] != TAddOutcome::Stored)
                continue;
            const size_t n = parameters.size();
            sql += (n == 0 ? "($" : ", ($") + std::to_string(n + 1) + ", $" +
                   std::to_string(n + 2) + ", $" + std::to_string(n + 3) + ", $" +
                   std::to_string(n + 4) + ")";
            parameters.push_back(Bytea(reports[i].Name));
            parameters.push_back(Int4(reports[i].Score));
            parameters.push_back(Bytea(reports[i].Add));
            parameters.push_back(Int8(reports[i].ReceivedAt));
        }
        if (!parameters.empty())
            Execute(connection, sql.c_str(), parameters);
    }

    /// Now and then (once a minute of report time, by one batch), drops the
    /// counts and repeats no limit looks at any more. Best effort: a failure
    /// leaves them for the next time.
    void ForgetOldLimits(int64_t now, const TSharedLimits& limits) {
        if (limits.RepeatSeconds <= 0 && limits.ReportsPerMinute == 0)
            return;
        int64_t last = lastForget_.load();
        if (now - last < 60 || !lastForget_.compare_exchange_strong(last, now))
            return;
        try {
            Use(false, [&](PGconn* connection) {
                Execute(connection, kForgetOldLimits, {Int8(now - 60)});
                Execute(connection, kForgetOldRepeats,
                        {Int8(now - std::max<int64_t>(limits.RepeatSeconds, 0))});
                return true;
            });
        } catch (const std::runtime_error&) {
        }
    }

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
        TResult ranking = run(kHasRanking);
        if (PQntuples(ranking.get()) != 1 || std::strcmp(PQgetvalue(ranking.get(), 0, 0), "0") == 0)
            run(kCreateRanking);
        TResult replayColumn = run(kHasReplayColumn);
        if (PQntuples(replayColumn.get()) != 1 ||
            std::strcmp(PQgetvalue(replayColumn.get(), 0, 0), "0") == 0)
            run(kAddReplayColumn);
        run(kFoldTally);
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
    size_t open_ = 0;                    ///< connections open, idle or in use
    std::atomic<int64_t> lastForget_{0}; ///< report time of the last ForgetOldLimits
};

} // namespace

std::unique_ptr<IScoreStore> OpenPostgresScoreStore(const std::string& connection) {
    return std::make_unique<TPostgresScoreStore>(connection);
}

} // namespace vantorel::server

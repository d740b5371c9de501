// Where the world table lives. The server speaks to its database only through
// this interface, so the one-file SQLite table and the shared PostgreSQL table
// run the same queries and answer the same way.
#pragma once

#include "server/name_prefix.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::server {

/// One row of the world table as stored. Texts are the game's single-byte text,
/// already held to the name editor's rules when they were received.
struct TStoredScore {
    int64_t Id = 0;
    std::string Name;
    int32_t Score = 0;
    std::string Add;
    int64_t ReceivedAt = 0; ///< seconds since 1970-01-01 UTC
    /// The replay that proved the score by playing it back (TReplayJobs), 0 for
    /// a score that only was reported.
    int64_t ReplayId = 0;

    bool operator==(const TStoredScore&) const = default;
};

/// A row with its place in the world table: 1 + the number of rows before it
/// in Top's order.
struct TRankedScore {
    int64_t Rank = 0;
    TStoredScore Row;

    bool operator==(const TRankedScore&) const = default;
};

/// One report on its way into the table, with what the store needs to hold the
/// limits that several server processes on one database must share.
struct TNewScore {
    std::string Name;
    int32_t Score = 0;
    std::string Add;
    int64_t ReceivedAt = 0; ///< seconds since 1970-01-01 UTC
    /// The sender's rate-limit key (TRateLimiter::ClientKey) and the report's code:
    /// a store shared by several processes counts reports per key and minute and
    /// keeps one copy of a code repeated by one key. Unused when Limits is off.
    std::string Client;
    std::string Code;
};

/// The limits a shared store holds across every process on the database.
struct TSharedLimits {
    uint32_t ReportsPerMinute = 0; ///< per client key and minute of ReceivedAt; 0: none
    int64_t RepeatSeconds = 0;     ///< a code repeated by a key this soon is kept once; 0: off
};

/// What became of one report of a batch.
enum class TAddOutcome {
    Stored,      ///< a new row
    RateLimited, ///< over the shared rate: not stored
    Repeated,    ///< the same code from the same key shortly before: not stored again
};

/// What the verifier made of a replay: the game it played back (texts in the
/// table's Windows-1252, already held to the report's rules), or why it refused.
struct TReplayVerdict {
    bool Verified = false;
    std::string Name;
    int32_t Score = 0;
    std::string Add;
    /// For a refusal: a short key for the counters ("refused", "timed_out", ...)
    /// and the verifier's one-line reason, kept with the job.
    std::string Outcome;
    std::string Reason;
    /// The verifier could not run (not the replay's fault): the job stays
    /// queued behind the others, and is refused after kMaxReplayAttempts.
    bool Retry = false;
};

/// How often a job is tried when the verifier cannot run.
inline constexpr int kMaxReplayAttempts = 3;

/// Plays one replay back (the job's id and the file's bytes); may take seconds.
using TReplayCheck = std::function<TReplayVerdict(int64_t replayId, const std::string& bytes)>;

/// What became of one job.
struct TReplayJobResult {
    int64_t ReplayId = 0;
    bool Verified = false;
    int64_t ScoreId = 0;   ///< the row marked or added; 0 when refused
    bool AddedRow = false; ///< true when no reported row matched and one was added
    std::string Outcome;   ///< "verified", the refusal's key, or "retry" (still queued)
    std::string Reason;    ///< the refusal's reason; empty when verified
};

/// A replay job as kept: "queued", "verified" or "refused", and why.
struct TReplayJobState {
    std::string State;
    std::string Reason;
    int64_t ScoreId = 0;
};

/// A world table. Every member may be called from several request threads at
/// once; a store keeps its own connections. Failures throw std::runtime_error
/// with the database's message.
class IScoreStore {
public:
    virtual ~IScoreStore() = default;

    /// Stores one received report; returns only after it is committed, so a
    /// report that was acknowledged survives a crash of the server right after.
    /// Returns the new row's id.
    virtual int64_t Add(const std::string& name, int32_t score, const std::string& add,
                        int64_t receivedAt) = 0;

    /// Stores a batch of reports in one transaction, one flush for all of them:
    /// when it returns, every Stored row is committed; when it throws, none of
    /// them is. One outcome per report, in order. limits are held only by a
    /// store that several processes share (PostgreSQL); the others keep them in
    /// the process (TRateLimiter, TRecentReports) and ignore them here.
    virtual std::vector<TAddOutcome> AddBatch(const std::vector<TNewScore>& reports,
                                              const TSharedLimits& limits) = 0;

    /// The best rows, highest score first; equal scores in the order they
    /// arrived (earlier first). At most limit rows.
    virtual std::vector<TStoredScore> Top(size_t limit) = 0;

    /// How many rows the table holds.
    virtual int64_t Count() = 0;

    /// The page's three reading aids below throw std::runtime_error unless
    /// the store overrides them (both databases do; a test's stand-in need not).
    ///
    /// Rows of the table in Top's order from position first (0 is the best row),
    /// at most limit: one page of the world table, read in about the same time
    /// wherever it lies in a table of millions (the store keeps counts per score
    /// range beside the table, TScoreTally, instead of skipping rows one by one).
    virtual std::vector<TStoredScore> Range(int64_t first, size_t limit);

    /// Rows whose name starts with prefix.From (TNamePrefix: names compared in
    /// the game's case folding), ordered by folded name, then as in Top; from
    /// position first among them, at most limit, each with its world rank.
    virtual std::vector<TRankedScore> FindByName(const TNamePrefix& prefix, int64_t first,
                                                 size_t limit);

    /// How many rows FindByName would find in all, counting no further than cap.
    virtual int64_t CountByName(const TNamePrefix& prefix, int64_t cap);

    /// The verified rows (ReplayId set) in Top's order from position first
    /// among them, at most limit, each with its world rank; and how many there
    /// are. Both throw unless the store overrides them, as Range does.
    virtual std::vector<TRankedScore> Verified(int64_t first, size_t limit);
    virtual int64_t CountVerified();
    /// FindByName and CountByName among the verified rows only.
    virtual std::vector<TRankedScore> FindVerifiedByName(const TNamePrefix& prefix, int64_t first,
                                                         size_t limit);
    virtual int64_t CountVerifiedByName(const TNamePrefix& prefix, int64_t cap);

    /// Keeps an uploaded replay file and queues its verification job, in one
    /// commit; returns the replay's id. Throws unless the store overrides it.
    virtual int64_t AddReplay(const std::string& bytes, int64_t receivedAt);

    /// Takes the oldest queued job no other server is working on, runs check on
    /// its file and records the verdict: a verified game marks the oldest
    /// unverified row of the same name, score and add text with the replay, or
    /// adds a verified row when none matches (so one row per game); a refusal
    /// marks nothing and keeps its reason with the job. A replay whose exact
    /// bytes were verified before is refused as "duplicate"; a Retry verdict
    /// leaves the job queued behind the others (jobs are taken fewest
    /// attempts first, then oldest) until its last attempt. The job is done
    /// exactly once: on PostgreSQL it is claimed with FOR UPDATE SKIP LOCKED in
    /// a transaction held across check, so a server that dies mid-check leaves
    /// it to the next; on SQLite the verdict is written only if the job is
    /// still queued. Nothing when no job was waiting. A throw from check leaves
    /// the job queued.
    virtual std::optional<TReplayJobResult> CheckNextReplay(const TReplayCheck& check);

    /// A verified replay's file; nothing for an unknown or unverified id.
    virtual std::optional<std::string> VerifiedReplay(int64_t replayId);

    /// A job's state; nothing for an unknown id.
    virtual std::optional<TReplayJobState> ReplayJob(int64_t replayId);

    /// True when the database answers a trivial query now.
    virtual bool Healthy() = 0;
};

/// The file a replay upload must start with (the game's replay format).
inline constexpr std::string_view kReplayMagic = "VANTOREL-REPLAY";

/// A 64-bit FNV-1a digest of a replay's bytes: the stores find a file seen
/// before by it, then compare the bytes themselves.
int64_t ReplayDigest(std::string_view bytes);

/// Opens (and creates, with its table and index, when missing) the store named
/// by database: a PostgreSQL connection string ("postgresql://..." or
/// "postgres://...", or key=value words such as "host=... dbname=...") opens
/// PostgreSQL; anything else is the path of a SQLite file.
std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& database);

/// True when database names a PostgreSQL database for OpenScoreStore, false for
/// a SQLite path.
bool IsPostgresConnection(std::string_view database);

} // namespace vantorel::server

// The world table in one SQLite file: the default store, for a server on one
// machine.
#pragma once

#include "server/score_store.hpp"

#include <mutex>
#include <string>

struct sqlite3;

namespace vantorel::server {

/// A SQLite file in WAL mode with synchronous=FULL: every Add is fsynced to the
/// write-ahead log before it returns, so an acknowledged report survives a kill
/// of the server and a power cut alike (NORMAL would survive the kill but could
/// lose the last commits to a power cut). Writes go through one connection,
/// reads through another, so the page is served while a report commits, and a
/// writer stuck elsewhere (another process, an operator's open transaction)
/// stalls no read. Several server processes may share the file; a write waits
/// at most 1.5 s for its lock and then fails, so a report gets 503 promptly.
/// The rate limit and the repeat filter are the process's own here
/// (AddBatch ignores its limits): the file is meant for one server.
class TSqliteScoreStore final : public IScoreStore {
public:
    /// Opens or creates path, with the table and its ranking index.
    /// Throws std::runtime_error when the file cannot be opened as a database.
    explicit TSqliteScoreStore(const std::string& path);
    ~TSqliteScoreStore() override;
    TSqliteScoreStore(const TSqliteScoreStore&) = delete;
    TSqliteScoreStore& operator=(const TSqliteScoreStore&) = delete;

    int64_t Add(const std::string& name, int32_t score, const std::string& add,
                int64_t receivedAt) override;
    std::vector<TAddOutcome> AddBatch(const std::vector<TNewScore>& reports,
                                      const TSharedLimits& limits) override;
    std::vector<TStoredScore> Top(size_t limit) override;
    int64_t Count() override;
    std::vector<TStoredScore> Range(int64_t first, size_t limit) override;
    std::vector<TRankedScore> FindByName(const TNamePrefix& prefix, int64_t first,
                                         size_t limit) override;
    int64_t CountByName(const TNamePrefix& prefix, int64_t cap) override;
    std::vector<TRankedScore> Verified(int64_t first, size_t limit) override;
    int64_t CountVerified() override;
    std::vector<TRankedScore> FindVerifiedByName(const TNamePrefix& prefix, int64_t first,
                                                 size_t limit) override;
    int64_t CountVerifiedByName(const TNamePrefix& prefix, int64_t cap) override;
    int64_t AddReplay(const std::string& bytes, int64_t receivedAt) override;
    /// One process's worker at a time is meant (a job two processes on one
    /// file take at once is played twice and recorded once).
    std::optional<TReplayJobResult> CheckNextReplay(const TReplayCheck& check) override;
    std::optional<std::string> VerifiedReplay(int64_t replayId) override;
    std::optional<TReplayJobState> ReplayJob(int64_t replayId) override;
    bool Healthy() override;

private:
    /// Rows with world ranks: by folded name when prefix is given, else in the
    /// ranking's order; verified ones only when verifiedOnly.
    std::vector<TRankedScore> Find(const TNamePrefix* prefix, bool verifiedOnly, int64_t first,
                                   size_t limit);
    int64_t CountWhere(const TNamePrefix* prefix, bool verifiedOnly, int64_t cap);

    std::mutex writeMutex_;
    sqlite3* writer_ = nullptr;
    std::mutex readMutex_;
    sqlite3* reader_ = nullptr;
};

} // namespace vantorel::server

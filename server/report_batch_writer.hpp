// The reports' way into the table: request threads hand their reports to one
// writer thread, which commits whatever has queued in one transaction and then
// answers every sender of that batch.
#pragma once

#include "server/score_store.hpp"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vantorel::server {

/// What became of one submitted report.
struct TReportWrite {
    /// The store's outcome once the batch committed; empty when the report was
    /// not stored (the batch failed, or it waited too long): Error says why.
    std::optional<TAddOutcome> Outcome;
    std::string Error;
    bool TimedOut = false; ///< still queued after maxWait: the database is busy
};

/// Group commit. There is no timer: while one batch commits, the reports that
/// arrive queue up, and the next batch takes them all (at most maxBatch), so
/// the batches grow with the load and one flush serves many reports. The only
/// wait is for the senders just answered, while fewer than they are queued:
/// at most half the last commit's time (1 ms at most), never for a lone sender. A report
/// is answered only after its batch committed; a failed commit fails every
/// report of its batch and stores none of them.
class TReportBatchWriter {
public:
    /// Told of every committed batch: its commit time in seconds and its size.
    using TCommitObserver = std::function<void(double seconds, size_t batchSize)>;

    /// Starts the writer thread. limits go with every batch to the store.
    /// A report still queued after maxWait is taken back and fails ("busy"), so
    /// a stuck database gives its senders a quick refusal; one already in a
    /// batch waits for that commit, which the store bounds itself.
    TReportBatchWriter(IScoreStore& store, TSharedLimits limits, TCommitObserver observer = {},
                       size_t maxBatch = 256,
                       std::chrono::milliseconds maxWait = std::chrono::milliseconds(2000));
    /// Commits what is still queued, then stops the thread.
    ~TReportBatchWriter();
    TReportBatchWriter(const TReportBatchWriter&) = delete;
    TReportBatchWriter& operator=(const TReportBatchWriter&) = delete;

    /// Queues report and waits for its outcome. Called from request threads.
    TReportWrite Submit(TNewScore report);

private:
    enum class TState { Queued, Taken, Done };
    struct TPending {
        TNewScore Report;
        TState State = TState::Queued;
        TReportWrite Result;
    };

    void Run();

    IScoreStore& store_;
    const TSharedLimits limits_;
    const TCommitObserver observer_;
    const size_t maxBatch_;
    const std::chrono::milliseconds maxWait_;
    std::mutex mutex_;
    std::condition_variable queued_; ///< the writer waits here for reports
    std::condition_variable done_;   ///< the senders wait here for their batch
    std::deque<TPending*> queue_;    ///< each points into a waiting sender's frame
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace vantorel::server

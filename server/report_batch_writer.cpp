#include "server/report_batch_writer.hpp"

#include <algorithm>
#include <exception>
#include <vector>

namespace vantorel::server {

TReportBatchWriter::TReportBatchWriter(IScoreStore& store, TSharedLimits limits,
                                       TCommitObserver observer, size_t maxBatch,
                                       std::chrono::milliseconds maxWait)
    : store_(store), limits_(limits), observer_(std::move(observer)),
      maxBatch_(std::max<size_t>(maxBatch, 1)), maxWait_(maxWait), thread_([this] { Run(); }) {}

TReportBatchWriter::~TReportBatchWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_one();
    thread_.join();
}

TReportWrite TReportBatchWriter::Submit(TNewScore report) {
    TPending pending{std::move(report), TState::Queued, {}};
    std::unique_lock lock(mutex_);
    queue_.push_back(&pending);
    queued_.notify_one();
    const auto done = [&] { return pending.State == TState::Done; };
    if (!done_.wait_for(lock, maxWait_, done)) {
        if (pending.State == TState::Queued) {
            queue_.erase(std::find(queue_.begin(), queue_.end(), &pending));
            return {std::nullopt,
                    "database busy: no commit within " + std::to_string(maxWait_.count()) + " ms",
                    true};
        }
        // In a batch already: its commit decides, and the store bounds it.
        done_.wait(lock, done);
    }
    return std::move(pending.Result);
}

void TReportBatchWriter::Run() {
    std::vector<TPending*> batch;
    std::vector<TNewScore> reports;
    size_t lastBatch = 1;
    std::chrono::nanoseconds gather{0};
    for (;;) {
        batch.clear();
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return; // stopping, and nothing is left to commit
            // The senders the last batch answered are on their way back: while
            // fewer are queued than that batch held, give them a part of a
            // commit's time to join. A lone sender (last batch 1) never waits,
            // and the wait is bounded by half the last commit, so a report
            // waits at most half a commit longer than it would have anyway.
            const size_t expected = std::min(lastBatch, maxBatch_);
            if (queue_.size() < expected)
                queued_.wait_for(lock, gather,
                                 [&] { return stopping_ || queue_.size() >= expected; });
            while (!queue_.empty() && batch.size() < maxBatch_) {
                queue_.front()->State = TState::Taken;
                batch.push_back(queue_.front());
                queue_.pop_front();
            }
        }
        // The senders of Taken reports wait for Done, so their frames stay.
        reports.clear();
        for (const TPending* pending : batch)
            reports.push_back(pending->Report);
        std::vector<TAddOutcome> outcomes;
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        try {
            outcomes = store_.AddBatch(reports, limits_);
            if (outcomes.size() != reports.size())
                error = "the store answered a batch of " + std::to_string(reports.size()) +
                        " with " + std::to_string(outcomes.size()) + " outcomes";
        } catch (const std::exception& e) {
            error = e.what();
        }
        const auto took = std::chrono::steady_clock::now() - start;
        lastBatch = batch.size();
        gather = std::min<std::chrono::nanoseconds>(took / 2, std::chrono::milliseconds(1));
        if (error.empty() && observer_)
            observer_(std::chrono::duration<double>(took).count(), batch.size());
        {
            const std::lock_guard lock(mutex_);
            for (size_t i = 0; i < batch.size(); ++i) {
                if (error.empty())
                    batch[i]->Result.Outcome = outcomes[i];
                else
                    batch[i]->Result.Error = error;
                batch[i]->State = TState::Done;
            }
        }
        done_.notify_all();
    }
}

} // namespace vantorel::server

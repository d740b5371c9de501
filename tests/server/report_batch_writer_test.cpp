// Group commit: reports that arrive while a commit runs go into the next batch
// together, each sender is answered with its own outcome only after its batch
// committed, a failed batch stores none of its reports, and a report that
// cannot start committing in time is taken back.
#include "server/report_batch_writer.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vantorel::server {
namespace {

using namespace std::chrono_literals;

/// A store that keeps the batches it was given and can hold a commit until the
/// test lets it go, fail the next commit, or answer chosen outcomes.
class TGatedStore final : public IScoreStore {
public:
    std::vector<TAddOutcome> AddBatch(const std::vector<TNewScore>& reports,
                                      const TSharedLimits&) override {
        std::unique_lock lock(mutex_);
        ++calls_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
        if (failNext_) {
            failNext_ = false;
            throw std::runtime_error("disk full");
        }
        batches_.push_back(reports);
        std::vector<TAddOutcome> outcomes;
        for (const TNewScore& report : reports)
            outcomes.push_back(report.Name == "rep"   ? TAddOutcome::Repeated
                               : report.Name == "lim" ? TAddOutcome::RateLimited
                                                      : TAddOutcome::Stored);
        return outcomes;
    }
    int64_t Add(const std::string&, int32_t, const std::string&, int64_t) override {
        throw std::logic_error("reports go through AddBatch");
    }
    std::vector<TStoredScore> Top(size_t) override { return {}; }
    int64_t Count() override { return 0; }
    std::vector<TStoredScore> Range(int64_t, size_t) override { return {}; }
    std::vector<TRankedScore> FindByName(const TNamePrefix&, int64_t, size_t) override {
        return {};
    }
    int64_t CountByName(const TNamePrefix&, int64_t) override { return 0; }
    bool Healthy() override { return true; }

    void Close() {
        const std::lock_guard lock(mutex_);
        open_ = false;
    }
    void Open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void FailNext() {
        const std::lock_guard lock(mutex_);
        failNext_ = true;
    }
    int Calls() {
        const std::lock_guard lock(mutex_);
        return calls_;
    }
    /// Waits until AddBatch has been entered calls times.
    void WaitForCalls(int calls) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return calls_ >= calls; });
    }
    std::vector<std::vector<TNewScore>> Batches() {
        const std::lock_guard lock(mutex_);
        return batches_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    bool failNext_ = false;
    int calls_ = 0;
    std::vector<std::vector<TNewScore>> batches_;
};

TNewScore Report(const std::string& name, int32_t score = 1) {
    return {name, score, "", 0, "10.0.0.1", name};
}

/// Sends reports from threads of their own while the first batch is held in
/// the store, and waits until they are all queued behind it.
std::vector<std::future<TReportWrite>> SendWhileHeld(TReportBatchWriter& writer, TGatedStore& store,
                                                     const std::vector<std::string>& names) {
    store.Close();
    const int calls = store.Calls();
    std::vector<std::future<TReportWrite>> answers;
    answers.push_back(
        std::async(std::launch::async, [&] { return writer.Submit(Report("first")); }));
    store.WaitForCalls(calls + 1);
    for (const std::string& name : names)
        answers.push_back(std::async(std::launch::async,
                                     [&writer, name] { return writer.Submit(Report(name)); }));
    return answers;
}

TEST(ReportBatchWriter, ReportsArrivingDuringACommitShareTheNextOne) {
    TGatedStore store;
    std::mutex observed;
    std::vector<size_t> sizes;
    TReportBatchWriter writer(store, {}, [&](double seconds, size_t size) {
        EXPECT_GE(seconds, 0.0);
        const std::lock_guard lock(observed);
        sizes.push_back(size);
    });
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i)
        names.push_back("r" + std::to_string(i));
    auto answers = SendWhileHeld(writer, store, names);
    std::this_thread::sleep_for(200ms); // let every sender queue (no answer may come yet)
    for (auto& answer : answers)
        EXPECT_EQ(answer.wait_for(0s), std::future_status::timeout)
            << "answered before its batch committed";
    store.Open();
    for (auto& answer : answers) {
        const TReportWrite write = answer.get();
        ASSERT_TRUE(write.Outcome) << write.Error;
        EXPECT_EQ(*write.Outcome, TAddOutcome::Stored);
    }
    const auto batches = store.Batches();
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0].size(), 1u);
    EXPECT_EQ(batches[1].size(), 12u) << "the queued reports were committed one by one";
    EXPECT_EQ(sizes, (std::vector<size_t>{1, 12}));
}

TEST(ReportBatchWriter, BatchesStopAtTheLargestSize) {
    TGatedStore store;
    TReportBatchWriter writer(store, {}, {}, 4);
    auto answers = SendWhileHeld(writer, store, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    std::this_thread::sleep_for(200ms);
    store.Open();
    for (auto& answer : answers)
        EXPECT_TRUE(answer.get().Outcome);
    size_t total = 0;
    for (const auto& batch : store.Batches()) {
        EXPECT_LE(batch.size(), 4u);
        total += batch.size();
    }
    EXPECT_EQ(total, 10u);
}

// Each sender gets its own report's outcome, not its neighbour's.
TEST(ReportBatchWriter, EachSenderGetsItsOwnOutcome) {
    TGatedStore store;
    TReportBatchWriter writer(store, {});
    auto answers = SendWhileHeld(writer, store, {"rep", "ok", "lim", "ok2"});
    std::this_thread::sleep_for(200ms);
    store.Open();
    const std::vector<TAddOutcome> expected = {TAddOutcome::Stored, TAddOutcome::Repeated,
                                               TAddOutcome::Stored, TAddOutcome::RateLimited,
                                               TAddOutcome::Stored};
    for (size_t i = 0; i < answers.size(); ++i) {
        const TReportWrite write = answers[i].get();
        ASSERT_TRUE(write.Outcome) << i;
        EXPECT_EQ(*write.Outcome, expected[i]) << i;
    }
}

TEST(ReportBatchWriter, AFailedCommitFailsItsWholeBatchAndTheNextOneWorks) {
    TGatedStore store;
    std::atomic<int> observed{0};
    TReportBatchWriter writer(store, {}, [&](double, size_t) { ++observed; });
    auto answers = SendWhileHeld(writer, store, {});
    store.FailNext();
    store.Open();
    const TReportWrite failed = answers[0].get();
    EXPECT_FALSE(failed.Outcome);
    EXPECT_EQ(failed.Error, "disk full");
    EXPECT_FALSE(failed.TimedOut);
    EXPECT_EQ(observed, 0) << "a failed commit is no commit";

    answers = SendWhileHeld(writer, store, {"x", "y", "z"});
    std::this_thread::sleep_for(200ms);
    store.FailNext();
    store.Open();
    EXPECT_FALSE(answers[0].get().Outcome) << "the first batch failed";
    for (size_t i = 1; i < answers.size(); ++i)
        EXPECT_TRUE(answers[i].get().Outcome) << "the batch after a failed one";
    const auto batches = store.Batches();
    ASSERT_EQ(batches.size(), 1u) << "nothing of the failed batches was stored";
    EXPECT_EQ(batches[0].size(), 3u);
}

// A stuck commit: the report in it waits for it, the ones queued behind it are
// taken back at the bound and never reach the database.
TEST(ReportBatchWriter, ReportsQueuedBehindAStuckCommitAreTakenBackInTime) {
    TGatedStore store;
    TReportBatchWriter writer(store, {}, {}, 256, 150ms);
    auto answers = SendWhileHeld(writer, store, {"late1", "late2"});
    for (size_t i = 1; i < answers.size(); ++i) {
        ASSERT_EQ(answers[i].wait_for(10s), std::future_status::ready);
        const TReportWrite write = answers[i].get();
        EXPECT_FALSE(write.Outcome);
        EXPECT_TRUE(write.TimedOut);
    }
    EXPECT_EQ(answers[0].wait_for(0s), std::future_status::timeout)
        << "the report being committed is answered by its commit, not the clock";
    store.Open();
    EXPECT_TRUE(answers[0].get().Outcome);
    EXPECT_TRUE(writer.Submit(Report("after")).Outcome);
    const auto batches = store.Batches();
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0][0].Name, "first");
    EXPECT_EQ(batches[1][0].Name, "after");
}

TEST(ReportBatchWriter, StoppingCommitsWhatIsQueued) {
    TGatedStore store;
    std::vector<std::future<TReportWrite>> answers;
    std::thread opener;
    {
        TReportBatchWriter writer(store, {});
        answers = SendWhileHeld(writer, store, {"q1", "q2"});
        std::this_thread::sleep_for(100ms);
        opener = std::thread([&] {
            std::this_thread::sleep_for(100ms);
            store.Open();
        });
    } // the writer stops here, once the queue is committed
    opener.join();
    for (auto& answer : answers)
        EXPECT_TRUE(answer.get().Outcome);
    size_t total = 0;
    for (const auto& batch : store.Batches())
        total += batch.size();
    EXPECT_EQ(total, 3u);
}

} // namespace
} // namespace vantorel::server

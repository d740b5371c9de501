// The replay worker thread on a SQLite table: jobs left queued from before it
// started are taken at once, a new upload wakes it, and a failing store leaves
// the job for later.
#include "server/replay_worker.hpp"

#include "server/sqlite_score_store.hpp"
#include "server_test_support.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vantorel::server {
namespace {

using namespace std::chrono_literals;
using test_support::TTempFolder;

TReplayVerdict Game(const std::string& name) {
    TReplayVerdict verdict;
    verdict.Verified = true;
    verdict.Outcome = "verified";
    verdict.Name = name;
    verdict.Score = 10;
    return verdict;
}

/// Waits (5 s at most) until done holds count results.
bool WaitFor(std::mutex& mutex, const std::vector<TReplayJobResult>& done, size_t count) {
    for (int i = 0; i < 500; ++i) {
        {
            const std::lock_guard lock(mutex);
            if (done.size() >= count)
                return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(ReplayWorker, TakesTheJobsLeftFromBeforeAndWakesForNewOnes) {
    TTempFolder folder;
    const std::string path = folder.File("scores.sqlite").string();
    {
        // A server that stopped (or died) with two jobs queued.
        TSqliteScoreStore before(path);
        before.AddReplay("VANTOREL-REPLAY a", 1);
        before.AddReplay("VANTOREL-REPLAY b", 2);
    }
    TSqliteScoreStore store(path);
    std::mutex mutex;
    std::vector<TReplayJobResult> done;
    TReplayWorkerSettings settings;
    settings.Done = [&](const TReplayJobResult& result, double) {
        const std::lock_guard lock(mutex);
        done.push_back(result);
    };
    settings.Poll = std::chrono::hours(1); // only a Wake or the start looks for jobs
    TReplayWorker worker(
        store, [](int64_t, const std::string& bytes) { return Game(bytes.substr(16)); }, settings);
    ASSERT_TRUE(WaitFor(mutex, done, 2));

    const int64_t third = store.AddReplay("VANTOREL-REPLAY c", 3);
    worker.Wake();
    ASSERT_TRUE(WaitFor(mutex, done, 3));
    const std::lock_guard lock(mutex);
    EXPECT_EQ(done[2].ReplayId, third);
    EXPECT_EQ(store.CountVerified(), 3);
}

TEST(ReplayWorker, AFailingCheckIsToldAndTheJobStaysQueued) {
    TTempFolder folder;
    TSqliteScoreStore store(folder.File("scores.sqlite").string());
    const int64_t id = store.AddReplay("VANTOREL-REPLAY a", 1);
    std::atomic<int> failures{0};
    TReplayWorkerSettings settings;
    settings.Failed = [&](const std::string& error) {
        EXPECT_EQ(error, "database gone");
        ++failures;
    };
    settings.AfterFailure = std::chrono::hours(1);
    {
        TReplayWorker worker(
            store,
            [](int64_t, const std::string&) -> TReplayVerdict {
                throw std::runtime_error("database gone");
            },
            settings);
        for (int i = 0; i < 500 && failures == 0; ++i)
            std::this_thread::sleep_for(10ms);
    } // stops at once, although its pause runs for an hour
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(store.ReplayJob(id)->State, "queued");
}

} // namespace
} // namespace vantorel::server

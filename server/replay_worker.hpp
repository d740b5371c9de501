// The thread that verifies uploaded replays: takes the store's queued jobs one
// after another (those left from before the server started first), plays each
// back through the check it is given (TReplayVerifier, a child process) and
// has the store record the verdict. Woken by each upload; every few seconds it
// also looks for jobs on its own, for those another server on a shared
// database took in and could not finish.
#pragma once

#include "server/score_store.hpp"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vantorel::server {

struct TReplayWorkerSettings {
    /// Told of every job done (or put back, Outcome "retry") and how long its check took.
    std::function<void(const TReplayJobResult&, double seconds)> Done;
    /// Told when the store fails (the job stays queued).
    std::function<void(const std::string& error)> Failed;
    std::chrono::milliseconds Poll{5000};          ///< looks for jobs this often unwoken
    std::chrono::milliseconds AfterFailure{10000}; ///< pause after a failure or a retry
};

class TReplayWorker {
public:
    /// Starts the thread. store and check must outlive the worker.
    TReplayWorker(IScoreStore& store, TReplayCheck check, TReplayWorkerSettings settings = {});
    /// Finishes the job in hand (its check is bounded by the verifier's limits)
    /// and stops.
    ~TReplayWorker();
    TReplayWorker(const TReplayWorker&) = delete;
    TReplayWorker& operator=(const TReplayWorker&) = delete;

    /// A job was queued: look now. Any thread.
    void Wake();

private:
    void Run();
    /// Waits for Wake, stop or the time given; false when stopping.
    bool Wait(std::chrono::milliseconds time);

    IScoreStore& store_;
    TReplayCheck check_;
    TReplayWorkerSettings settings_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool woken_ = false;
    bool stopping_ = false;
    std::thread thread_; ///< last: starts once the rest is ready
};

} // namespace vantorel::server

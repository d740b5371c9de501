// Sends one score report on a worker thread, so that the frames go on while the
// server answers (or does not). The frame polls Finished(); every failure is
// ignored by the game, and the outcome is kept only to be looked at.
#pragma once

#include "platform/http_client.hpp"

#include <atomic>
#include <thread>

namespace vantorel {

enum class TScoreReportState : int {
    Idle,    ///< nothing started
    Sending, ///< the worker waits for the server
    Sent,    ///< a reply came with a 2xx status
    Failed,  ///< no reply within the request's bounds, or an error status
};

class TScoreReporter {
public:
    TScoreReporter() = default;
    /// Waits for a request still running; the request's own bounds limit the wait.
    ~TScoreReporter();
    TScoreReporter(const TScoreReporter&) = delete;
    TScoreReporter& operator=(const TScoreReporter&) = delete;

    /// Starts sending request through client on a worker thread and returns at
    /// once. False (and nothing sent) while an earlier request is still running.
    /// The client must outlive the request; the main window's client does.
    bool Start(IHttpClient& client, THttpRequest request);

    /// Called from the frame: true once the request has ended, either way (and
    /// before any was started). Never blocks.
    bool Finished() const;
    TScoreReportState State() const { return state_.load(std::memory_order_acquire); }

private:
    void Join();

    std::atomic<TScoreReportState> state_{TScoreReportState::Idle};
    std::thread worker_;
};

} // namespace vantorel

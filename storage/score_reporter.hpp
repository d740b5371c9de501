// Sends one score report on a worker thread, so that the frames go on while the
// server answers (or does not), and after it the game's replay when there is
// one. The frame polls Finished(); every failure is ignored by the game, and
// the outcome is kept only to be looked at.
#pragma once

#include "platform/http_client.hpp"

#include <atomic>
#include <optional>
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
    /// once; upload, when given, is posted on the same thread after it, only
    /// when the report got a 2xx (a server that refused the score has no use
    /// for its replay). False (and nothing sent) while an earlier request is
    /// still running. The client must outlive the requests; the main window's
    /// client does.
    bool Start(IHttpClient& client, THttpRequest request,
               std::optional<THttpPost> upload = std::nullopt);

    /// Called from the frame: true once the request has ended, either way (and
    /// before any was started). Never blocks.
    bool Finished() const;
    /// The report's outcome (Sent once it got a 2xx, whatever became of the
    /// upload); Sending until the upload too has ended.
    TScoreReportState State() const { return state_.load(std::memory_order_acquire); }

private:
    void Join();

    std::atomic<TScoreReportState> state_{TScoreReportState::Idle};
    std::thread worker_;
};

} // namespace vantorel

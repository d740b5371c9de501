// What the server makes of one run of the replay verifier: the game it proved,
// or why the replay is refused. The verifier (vantorel-replay verify --json
// FILE) plays the file back headless; on success it exits 0 and prints one
// line {"score":N,"level":L,"frames":F,"name":"...","add_text":"..."} (texts
// as UTF-8); it exits 2 for a replay it refuses and 1 for a problem of its own
// (usage, data folder), with a one-line reason on standard error.
#pragma once

#include "server/score_store.hpp"
#include "server/verifier_process.hpp"

#include <atomic>
#include <functional>
#include <string>

namespace vantorel::server {

/// The verdict of one run, without running anything (the tests' way in):
///  - exit 0 with one JSON line whose name and add text are Windows-1252 text
///    a score report may carry (CheckScoreReport's rules) and whose score fits
///    32 bits: verified, texts converted to Windows-1252;
///  - exit 2: "refused", with the verifier's reason;
///  - exit 1 or 127 (the verifier could not run, or was not started): Retry,
///    the replay is not at fault ("verifier_error");
///  - any other exit, or exit 0 with output that is not such a line: "bad_output";
///  - a signal: "crashed", or "cpu_limit" for SIGXCPU (and for SIGKILL after
///    as much CPU time as the limit allows, which is how the limit ends it);
///  - killed at the wall clock: "timed_out"; printed too much: "output_too_long".
/// Reasons are one line of printable ASCII, at most 300 characters.
TReplayVerdict VerdictOf(const TVerifierRun& run);

class TReplayVerifier {
public:
    explicit TReplayVerifier(TVerifierCommand command) : command_(std::move(command)) {}

    /// Runs the verifier on bytes (RunVerifierProcess) and gives VerdictOf it.
    /// Safe from several threads at once. Throws std::runtime_error once Stop
    /// was called (a run in progress is killed), so that the job stays queued.
    TReplayVerdict Verify(const std::string& bytes) const;

    /// The server stops: no verdict from now on. Any thread.
    void Stop() { stopping_ = true; }
    bool Stopping() const { return stopping_; }

    const TVerifierCommand& Command() const { return command_; }

private:
    TVerifierCommand command_;
    std::atomic<bool> stopping_{false};
};

} // namespace vantorel::server

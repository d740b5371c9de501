// Running the replay verifier as a child process the server does not trust: a
// replay is a file from anyone, so the program that plays it back runs with
// limits of its own (CPU time, memory, no core files, a file it may not grow),
// within a wall-clock deadline the server holds, and with its output read up to
// a cap. Whatever it does, the server goes on: a crash, a hang, a flood of
// output or an allocation without end ends the child, never the server.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vantorel::server {

/// The child's limits. CPU time and memory are setrlimit limits in the child
/// (RLIMIT_CPU: SIGXCPU at the limit, SIGKILL a second later; RLIMIT_AS);
/// the wall clock is the server's: the child's process group is killed then.
struct TVerifierLimits {
    int CpuSeconds = 10;
    uint64_t AddressSpaceBytes = 256ull * 1024 * 1024;
    std::chrono::milliseconds Wall{15000};
    size_t MaxOutputBytes = 64 * 1024;   ///< standard output kept; more kills the child
    size_t MaxErrorBytes = 4096;         ///< standard error kept; more is read and dropped
    uint64_t MaxFileBytes = 1024 * 1024; ///< RLIMIT_FSIZE: it has nothing to write
};

/// How the verifier is started: PROGRAM verify --json FILE, FILE being a private
/// copy of the replay (mode 0600) in TempFolder, removed afterwards. The
/// environment is only PATH, LC_ALL=C.UTF-8, the SDL drivers set to dummy, and
/// VANTOREL_DATA=DataFolder when DataFolder is not empty.
struct TVerifierCommand {
    std::string Program;
    std::string DataFolder;
    std::string TempFolder; ///< empty: $TMPDIR, else /tmp
    TVerifierLimits Limits;
};

/// How one run ended.
struct TVerifierRun {
    enum class EEnd {
        Exited,        ///< ExitCode holds its status
        Signalled,     ///< ended by Signal (a crash, or the CPU limit's SIGXCPU/SIGKILL)
        TimedOut,      ///< still running at the wall-clock deadline: killed
        OutputTooLong, ///< printed more than MaxOutputBytes: killed
        NotStarted,    ///< the server could not start it (Error says why)
        Stopped,       ///< killed because the server stops
    };
    EEnd End = EEnd::NotStarted;
    int ExitCode = 0;
    int Signal = 0;
    std::string Output; ///< standard output, at most MaxOutputBytes
    std::string Error;  ///< standard error, at most MaxErrorBytes
    double Seconds = 0; ///< wall-clock time from start to its end
};

/// Runs the verifier on replay and waits for it within the limits. Safe from
/// any thread; every descriptor of the server is closed in the child, which
/// gets a process group of its own (so its children end with it) and dies with
/// the thread that started it. When stop turns true (the server stops) the
/// child is killed within a tenth of a second.
TVerifierRun RunVerifierProcess(const TVerifierCommand& command, const std::string& replay,
                                const std::atomic<bool>* stop = nullptr);

} // namespace vantorel::server

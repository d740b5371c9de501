#include "server/verifier_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace vantorel::server {

namespace {

using TClock = std::chrono::steady_clock;

/// A descriptor closed on every path out.
class TDescriptor {
public:
    explicit TDescriptor(int fd = -1) : fd_(fd) {}
    ~TDescriptor() { Close(); }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return fd_; }
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }
    void Close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

std::string ErrnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

/// Writes the replay to a new private file; returns its path, or "" with why.
std::string WriteTempFile(const std::string& folder, const std::string& bytes, std::string& why) {
    std::string base = folder;
    if (base.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    }
    std::string path = base + "/vantorel-replay-XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC); // mode 0600
    if (fd < 0) {
        why = ErrnoText(("cannot make a file in " + base).c_str());
        return {};
    }
    TDescriptor file(fd);
    size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            why = ErrnoText("cannot write the replay file");
            ::unlink(path.c_str());
            return {};
        }
        at += static_cast<size_t>(n);
    }
    return path;
}

void SetLimit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit limit{soft, hard};
    ::setrlimit(resource, &limit);
}

/// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void StartChild(int outFd, int errFd, pid_t parent, const TVerifierLimits& limits,
                             const char* program, char* const* argv, char* const* envp) {
    ::setpgid(0, 0);
    // Dies with the server's thread that waits for it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
    const int in = ::open("/dev/null", O_RDONLY);
    if (in < 0 || ::dup2(in, 0) < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0)
        ::_exit(127);
    // Nothing of the server's: sockets, database files, the listening port.
    ::close_range(3, ~0u, 0);
    const auto cpu = static_cast<rlim_t>(limits.CpuSeconds);
    SetLimit(RLIMIT_CPU, cpu, cpu + 1);
    SetLimit(RLIMIT_AS, limits.AddressSpaceBytes, limits.AddressSpaceBytes);
    SetLimit(RLIMIT_CORE, 0, 0);
    SetLimit(RLIMIT_FSIZE, limits.MaxFileBytes, limits.MaxFileBytes);
    SetLimit(RLIMIT_NOFILE, 64, 64);
    // Default dispositions: the server ignores SIGPIPE and blocks its stop signals.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::execve(program, argv, envp);
    const char message[] = "cannot start the verifier\n";
    [[maybe_unused]] const ssize_t ignored = ::write(2, message, sizeof message - 1);
    ::_exit(127);
}

void KillGroup(pid_t pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
}

} // namespace

TVerifierRun RunVerifierProcess(const TVerifierCommand& command, const std::string& replay,
                                const std::atomic<bool>* stop) {
    TVerifierRun run;
    const TVerifierLimits& limits = command.Limits;
    std::string why;
    const std::string file = WriteTempFile(command.TempFolder, replay, why);
    if (file.empty()) {
        run.Error = why;
        return run;
    }
    struct TRemove {
        const std::string& Path;
        ~TRemove() { ::unlink(Path.c_str()); }
    } remove{file};

    // Everything the child needs is made before fork: it may not allocate.
    std::vector<std::string> words = {command.Program, "verify", "--json", file};
    std::vector<std::string> environment = {"PATH=/usr/local/bin:/usr/bin:/bin", "LC_ALL=C.UTF-8",
                                            "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
    if (!command.DataFolder.empty())
        environment.push_back("VANTOREL_DATA=" + command.DataFolder);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0) {
        run.Error = ErrnoText("pipe");
        return run;
    }
    TDescriptor outRead(outPipe[0]), outWrite(outPipe[1]);
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        run.Error = ErrnoText("pipe");
        return run;
    }
    TDescriptor errRead(errPipe[0]), errWrite(errPipe[1]);

    const auto started = TClock::now();
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        run.Error = ErrnoText("fork");
        return run;
    }
    if (pid == 0)
        StartChild(outWrite.Get(), errWrite.Get(), parent, limits, argv[0], argv.data(),
                   envp.data());
    // The parent's: without them the pipes end when the child (and its children) are gone.
    ::setpgid(pid, pid);
    outWrite.Close();
    errWrite.Close();
    const auto deadline = started + limits.Wall;

    bool killed = false;
    const auto remainingMs = [&] {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
        return left < 0 ? 0 : static_cast<int>(std::min<long long>(left, 100));
    };
    std::array<char, 16384> chunk;
    const auto stopped = [&] { return stop != nullptr && stop->load(); };
    while (!killed && (outRead.Get() >= 0 || errRead.Get() >= 0)) {
        if (stopped()) {
            KillGroup(pid);
            killed = true;
            run.End = TVerifierRun::EEnd::Stopped;
            break;
        }
        if (TClock::now() >= deadline) {
            KillGroup(pid);
            killed = true;
            run.End = TVerifierRun::EEnd::TimedOut;
            break;
        }
        std::array<pollfd, 2> fds{{{outRead.Get(), POLLIN, 0}, {errRead.Get(), POLLIN, 0}}};
        const int ready = ::poll(fds.data(), fds.size(), remainingMs());
        if (ready < 0 && errno != EINTR)
            break;
        for (size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            TDescriptor& from = i == 0 ? outRead : errRead;
            const ssize_t n = ::read(from.Get(), chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                from.Close();
                continue;
            }
            std::string& kept = i == 0 ? run.Output : run.Error;
            const size_t cap = i == 0 ? limits.MaxOutputBytes : limits.MaxErrorBytes;
            const size_t room = cap - std::min(cap, kept.size());
            kept.append(chunk.data(), std::min(room, static_cast<size_t>(n)));
            if (i == 0 && static_cast<size_t>(n) > room) {
                KillGroup(pid);
                killed = true;
                run.End = TVerifierRun::EEnd::OutputTooLong;
                break;
            }
        }
    }
    // Both pipes closed: the child is ending, or closed them and goes on.
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, killed ? 0 : WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR) {
            run.Error = ErrnoText("waitpid");
            run.End = TVerifierRun::EEnd::NotStarted;
            return run;
        }
        if (done == 0) {
            if (stopped()) {
                KillGroup(pid);
                killed = true;
                run.End = TVerifierRun::EEnd::Stopped;
                continue;
            }
            if (TClock::now() >= deadline) {
                KillGroup(pid);
                killed = true;
                run.End = TVerifierRun::EEnd::TimedOut;
                continue;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // Anything it left behind in its group goes too.
    ::kill(-pid, SIGKILL);
    run.Seconds = std::chrono::duration<double>(TClock::now() - started).count();
    if (!killed) {
        if (WIFEXITED(status)) {
            run.End = TVerifierRun::EEnd::Exited;
            run.ExitCode = WEXITSTATUS(status);
        } else {
            run.End = TVerifierRun::EEnd::Signalled;
            run.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        }
    }
    return run;
}

} // namespace vantorel::server

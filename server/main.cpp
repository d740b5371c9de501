// vantorel-scored: the world score server. See ServerUsage for the command line.
#include "server/log_writer.hpp"
#include "server/replay_verifier.hpp"
#include "server/replay_worker.hpp"
#include "server/request_log.hpp"
#include "server/score_http_server.hpp"
#include "server/score_service.hpp"
#include "server/score_store.hpp"
#include "server/server_metrics.hpp"
#include "server/server_options.hpp"
#include "server/sqlite_backup.hpp"

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <thread>

using namespace vantorel::server;

int main(int argc, char** argv) {
    const TServerOptionsParse parsed =
        ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Options) {
        std::cerr << "vantorel-scored: " << parsed.Error << "\n";
        return 2;
    }
    const TServerOptions& options = *parsed.Options;
    if (options.Help) {
        std::cout << ServerUsage();
        return 0;
    }
    if (options.Version) {
        std::cout << "vantorel-scored " VANTOREL_VERSION "\n";
        return 0;
    }

    if (!options.Backup.empty()) {
        if (IsPostgresConnection(options.Database)) {
            std::cerr << "vantorel-scored: --backup copies a SQLite file; back up a PostgreSQL "
                         "database with pg_dump, e.g. pg_dump -Fc -f FILE '"
                      << options.Database << "'\n";
            return 2;
        }
        try {
            const int64_t pages = BackupSqliteDatabase(options.Database, options.Backup);
            std::cout << "backed up " << options.Database << " to " << options.Backup << " ("
                      << pages << " pages)\n";
            return 0;
        } catch (const std::exception& e) {
            std::cerr << "vantorel-scored: backup: " << e.what() << "\n";
            return 1;
        }
    }

    // SIGTERM and SIGINT are taken by one thread with sigwait, never by a
    // handler in the middle of a request; every thread started from here on
    // inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A client that hangs up mid-answer must not end the server.
    signal(SIGPIPE, SIG_IGN);
    // Every connection is a descriptor: as many as the system lets this process
    // have, not the 1,024 a shell usually starts it with.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    try {
        TServerMetrics metrics;
        // Standard output nobody reads fills its pipe and blocks: the log's own
        // thread waits then, never a request; lines beyond its queue are dropped.
        const bool json = options.JsonLog;
        TLogWriter log(
            [](const std::string& line) {
                // write(2), not stdio: a write stuck on a full pipe must not hold
                // the stdout lock that exit() takes to flush.
                const std::string text = line + "\n";
                size_t at = 0;
                while (at < text.size()) {
                    const ssize_t written =
                        write(STDOUT_FILENO, text.data() + at, text.size() - at);
                    if (written < 0 && errno == EINTR)
                        continue;
                    if (written <= 0)
                        return;
                    at += static_cast<size_t>(written);
                }
            },
            10000, [&metrics](uint64_t lines) { metrics.CountDroppedLogLines(lines); },
            [json](uint64_t count) {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                return FormatDroppedLogLine(
                    std::chrono::duration_cast<std::chrono::milliseconds>(now).count(), count,
                    json);
            });
        std::unique_ptr<IScoreStore> store = OpenScoreStore(options.Database);
        TReportSettings reports;
        reports.CommitObserver = [&metrics](double seconds, size_t batchSize) {
            metrics.ObserveCommit(seconds, batchSize);
        };
        reports.OutcomeObserver = [&metrics](std::string_view outcome) {
            metrics.CountReport(outcome);
        };
        // Replays are taken only with a verifier to play them back: one worker
        // thread runs it as a limited child process, one replay at a time.
        std::optional<TReplayVerifier> verifier;
        std::unique_ptr<TReplayWorker> replayWorker;
        TReplaySettings replays;
        replays.OutcomeObserver = [&metrics](std::string_view outcome) {
            metrics.CountReplayUpload(outcome);
        };
        if (!options.ReplayVerifier.empty()) {
            if (access(options.ReplayVerifier.c_str(), X_OK) != 0)
                throw std::runtime_error("cannot run the replay verifier " +
                                         options.ReplayVerifier);
            verifier.emplace(TVerifierCommand{options.ReplayVerifier, options.ReplayData, {}, {}});
            TReplayWorkerSettings settings;
            settings.Done = [&metrics, &log, json](const TReplayJobResult& done, double seconds) {
                if (done.Outcome == "done_elsewhere")
                    return;
                if (done.Outcome != "retry")
                    metrics.CountReplayCheck(done.Outcome, seconds);
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                TLogEntry entry;
                entry.UnixMs = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
                entry.Address = "-";
                entry.Peer = "-";
                entry.Method = "VERIFY";
                entry.Target = std::string(kReplaysPath) + "/" + std::to_string(done.ReplayId);
                entry.Status = done.Verified ? 200 : done.Outcome == "retry" ? 503 : 422;
                entry.Micros = static_cast<int64_t>(seconds * 1e6);
                entry.Note = done.Verified ? (done.AddedRow ? "verified, row added "
                                                            : "verified, row marked ") +
                                                 std::to_string(done.ScoreId)
                                           : done.Outcome + ": " + done.Reason;
                log.Push(json ? FormatJsonLogLine(entry) : FormatLogLine(entry));
            };
            settings.Failed = [&verifier](const std::string& error) {
                if (!verifier->Stopping())
                    std::cerr << "vantorel-scored: replay verification: " << error << "\n";
            };
            replayWorker = std::make_unique<TReplayWorker>(
                *store,
                [&verifier](int64_t, const std::string& bytes) { return verifier->Verify(bytes); },
                std::move(settings));
            replays.Accept = true;
            replays.Queued = [&replayWorker] { replayWorker->Wake(); };
        }
        TScoreService service(*store, options.RatePerMinute, TServiceClock::System(), reports,
                              replays);
        THttpServerConfig config;
        config.Limits.Threads = options.Threads;
        config.Limits.MaxConnectionsPerAddress = options.ConnectionsPerAddress;
        config.Limits.MaxConnections = options.MaxConnections;
        config.TrustedProxies = options.TrustedProxies;
        config.JsonLog = options.JsonLog;
        config.Metrics = &metrics;
        TScoreHttpServer server(service, config,
                                [&log](const std::string& line) { log.Push(line); });
        const int port = server.Bind(options.Host, options.Port);
        const bool bracketed = options.Host.find(':') != std::string::npos;
        std::printf("listening on %s%s%s:%d\n", bracketed ? "[" : "", options.Host.c_str(),
                    bracketed ? "]" : "", port);
        std::fflush(stdout);

        std::thread stopper([&server, stopSignals] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            server.Stop();
        });
        server.Run();
        // A replay being played back is left queued for the next start.
        if (verifier)
            verifier->Stop();
        // Run also ends when listening fails; wake the stopper then.
        pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
        // The store closes here, after the last request was answered.
    } catch (const std::exception& e) {
        std::cerr << "vantorel-scored: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

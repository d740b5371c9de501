// vantorel-scored: the world score server. See ServerUsage for the command line.
#include "server/score_http_server.hpp"
#include "server/score_service.hpp"
#include "server/score_store.hpp"
#include "server/server_options.hpp"

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <exception>
#include <iostream>
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

    try {
        std::unique_ptr<IScoreStore> store = OpenScoreStore(options.Database);
        TScoreService service(*store, options.RatePerMinute);
        THttpServerLimits limits;
        limits.Threads = options.Threads;
        TScoreHttpServer server(service, limits, [](const std::string& line) {
            std::fputs((line + "\n").c_str(), stdout);
            std::fflush(stdout);
        });
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

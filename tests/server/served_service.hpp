// A TScoreService on a SQLite table in a temporary folder, served over HTTP on
// 127.0.0.1 from its own thread, with the log lines kept for the test to read.
#pragma once

#include "server/http_server_config.hpp"
#include "server/score_http_server.hpp"
#include "server/score_service.hpp"
#include "server/sqlite_score_store.hpp"
#include "server_test_support.hpp"

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vantorel::server::test_support {

/// A served TScoreService on 127.0.0.1 with the config given; the log lines kept.
class TServedService {
public:
    explicit TServedService(THttpServerConfig config,
                            std::function<void(const std::string&)> log = {},
                            TReplaySettings replays = {})
        : store_(folder_.File("scores.sqlite").string()),
          service_(store_, 0, TServiceClock::System(), {}, std::move(replays)),
          server_(
              service_, std::move(config), log ? std::move(log) : [this](const std::string& line) {
                  const std::lock_guard lock(logMutex_);
                  log_.push_back(line);
              }) {
        port_ = server_.Bind("127.0.0.1", 0);
        runner_ = std::thread([this] { server_.Run(); });
    }
    ~TServedService() {
        server_.Stop();
        runner_.join();
    }

    int Port() const { return port_; }
    TSqliteScoreStore& Store() { return store_; }
    TScoreHttpServer& Server() { return server_; }
    std::thread& Runner() { return runner_; }

    /// The log once it holds count lines (or after 5 s).
    std::vector<std::string> Log(size_t count) {
        for (int i = 0; i < 500; ++i) {
            {
                const std::lock_guard lock(logMutex_);
                if (log_.size() >= count)
                    return log_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const std::lock_guard lock(logMutex_);
        return log_;
    }

private:
    TTempFolder folder_;
    TSqliteScoreStore store_;
    TScoreService service_;
    std::mutex logMutex_;
    std::vector<std::string> log_;
    TScoreHttpServer server_;
    int port_ = 0;
    std::thread runner_;
};

} // namespace vantorel::server::test_support

// The score service over HTTP (cpp-httplib): binding, limits on what a client
// may send, a worker pool, the log line per request and the graceful stop.
#pragma once

#include "server/score_service.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vantorel::server {

struct THttpServerLimits {
    size_t Threads = 16;        ///< requests handled at once
    int ReadTimeoutSeconds = 5; ///< a client that sends its request slower is dropped
    int WriteTimeoutSeconds = 5;
    int KeepAliveSeconds = 5;       ///< an idle kept-alive connection is closed after this
    size_t KeepAliveRequests = 100; ///< requests on one connection
};

class TScoreHttpServer {
public:
    /// log receives one finished line per request (without the line end), from
    /// the request threads, one call at a time; it may be empty.
    TScoreHttpServer(TScoreService& service, THttpServerLimits limits,
                     std::function<void(const std::string&)> log);
    ~TScoreHttpServer();
    TScoreHttpServer(const TScoreHttpServer&) = delete;
    TScoreHttpServer& operator=(const TScoreHttpServer&) = delete;

    /// Binds host:port; port 0 picks a free port. Returns the port bound.
    /// Throws std::runtime_error when the address cannot be bound.
    int Bind(const std::string& host, int port);

    /// Serves until Stop; returns after the requests in flight are answered.
    void Run();

    /// Stops accepting, lets the requests in flight finish; Run then returns.
    /// Safe from any thread, also before Run starts (Run then returns at once).
    void Stop();

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

} // namespace vantorel::server

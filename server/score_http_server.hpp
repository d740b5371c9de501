// The score service over HTTP: binding, the connections, the limits on what a
// client may send, the log line per request and the graceful stop.
//
// Boost.Beast on Boost.Asio, event-driven: one io_context holds every connection
// without a thread each, so thousands of idle or slow clients cost memory, not
// threads. Each phase of a request has a deadline of its own (tcp_stream's
// expires_after around the whole header read, then the write), which a client
// trickling a byte at a time cannot extend as it could an idle time-out; the
// parser bounds the header's size. The service call, which may wait on the
// database, runs on a small worker pool, never on the event loop.
#pragma once

#include "server/http_server_config.hpp"
#include "server/score_service.hpp"

#include <functional>
#include <memory>
#include <string>

namespace vantorel::server {

class TScoreHttpServer {
public:
    /// log receives one finished line per request and per refused connection
    /// (without the line end), text or JSON as config says, from the event loop
    /// thread; it must not block (see TLogWriter). It may be empty. Throws
    /// std::invalid_argument when a trusted proxy is no IP address.
    TScoreHttpServer(TScoreService& service, THttpServerConfig config,
                     std::function<void(const std::string&)> log);
    ~TScoreHttpServer();
    TScoreHttpServer(const TScoreHttpServer&) = delete;
    TScoreHttpServer& operator=(const TScoreHttpServer&) = delete;

    /// Binds host:port; port 0 picks a free port. Returns the port bound.
    /// Throws std::runtime_error "cannot listen on HOST:PORT: why" when the
    /// address cannot be bound.
    int Bind(const std::string& host, int port);

    /// Serves until Stop; returns once the requests in flight are answered (at
    /// most StopHardSeconds after Stop) and the worker pool is idle.
    void Run();

    /// Stops accepting, closes idle connections at once, gives half-read requests
    /// StopGraceSeconds and lets the requests in flight finish; Run then returns.
    /// Safe from any thread, also before Run starts (Run then returns at once).
    void Stop();

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

} // namespace vantorel::server

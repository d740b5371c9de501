// What the HTTP transport of the score server is told: its deadlines and limits,
// the proxies it trusts and how it logs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vantorel::server {

class TServerMetrics;

/// Deadlines in seconds, sizes in bytes. The header deadline runs from a request's
/// first byte (from the accept for a connection's first request) and is never
/// extended by a client that trickles bytes; the write deadline bounds sending the
/// answer, so a client holds a connection for at most both.
struct THttpServerLimits {
    size_t Threads = 16;            ///< service calls (database work) running at once
    int HeaderSeconds = 5;          ///< the whole request header, however it trickles in
    int WriteSeconds = 5;           ///< the whole answer
    int KeepAliveSeconds = 5;       ///< a kept-alive connection's wait for its next request
    int StopGraceSeconds = 1;       ///< on Stop, a half-read request's time to finish
    int StopHardSeconds = 10;       ///< on Stop, the end of everything
    size_t KeepAliveRequests = 100; ///< requests on one connection
    size_t MaxHeaderBytes = 8192;   ///< request line and header fields together
    size_t MaxHeaderFields = 50;
    /// A request body (a replay upload, the only request that has one): its
    /// size, larger refused with 413 before it is read, and the time it has to
    /// arrive whole after the header.
    size_t MaxBodyBytes = 256 * 1024;
    int BodySeconds = 10;
    size_t MaxConnections = 10000;        ///< open at once, from everybody
    size_t MaxConnectionsPerAddress = 32; ///< open at once from one address (not a proxy's)
};

struct THttpServerConfig {
    THttpServerLimits Limits;
    /// Peers whose X-Forwarded-For names the client (addresses, IPv4 or IPv6).
    std::vector<std::string> TrustedProxies;
    bool JsonLog = false;              ///< log lines as JSON objects, not text
    TServerMetrics* Metrics = nullptr; ///< counted into and served on /metrics when set
};

} // namespace vantorel::server

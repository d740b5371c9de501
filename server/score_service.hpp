// What the score server answers, apart from the HTTP transport: one request in,
// one response out. TScoreHttpServer feeds it; tests call it directly.
#pragma once

#include "server/rate_limiter.hpp"
#include "server/score_store.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vantorel::server {

struct TWebRequest {
    std::string Method;      ///< "GET", "HEAD", ...
    std::string Target;      ///< the request target as received: path and query, still %-encoded
    std::string Address;     ///< the client's address, the key of its rate limit
    std::string IfNoneMatch; ///< the If-None-Match header, empty when absent
};

struct TWebResponse {
    int Status = 200;
    std::string ContentType;
    std::string Body;
    std::string Note; ///< why a request was refused or failed, for the log; empty otherwise
    /// Further header fields of the answer (ETag, Cache-Control, Location, ...).
    std::vector<std::pair<std::string, std::string>> Headers;
};

/// The clocks the service reads; tests hand in their own.
struct TServiceClock {
    std::function<int64_t()> UnixSeconds; ///< the time a report is stamped with
    std::function<int64_t()> SteadyMs;    ///< the rate limit's clock
    static TServiceClock System();
};

/// The longest request target accepted (path and query), in bytes; a longer one
/// gets 414.
inline constexpr size_t kMaxTargetLength = 1024;
/// Rows on the world table page, and the default and largest limit of the JSON.
inline constexpr size_t kPageRows = 100;
inline constexpr size_t kMaxJsonRows = 1000;

class TScoreService {
public:
    /// reportsPerMinute: reports accepted per address per minute, 0 for no limit.
    TScoreService(IScoreStore& store, uint32_t reportsPerMinute,
                  TServiceClock clock = TServiceClock::System());

    /// Answers one request; safe to call from several threads at once. Never
    /// throws: a failing database gives 503.
    ///  - GET /cgi/version.pl?hs&prg=Vantorel&inf=CODE stores a valid report (200,
    ///    "Score received"); a malformed one gets 400, one over the rate 429.
    ///  - GET /cgi/version.pl?prg=Vantorel&show&type=0: the world table page.
    ///  - GET /api/v1/scores?limit=N: the table as JSON.
    ///  - GET /healthz: "ok", or 503 when the database does not answer.
    TWebResponse Handle(const TWebRequest& request);

private:
    TWebResponse Report(const std::string& code, const std::string& address);
    TWebResponse WorldTable();
    TWebResponse ScoresJson(const std::string* limit);
    TWebResponse Health();

    IScoreStore& store_;
    TRateLimiter limiter_;
    TServiceClock clock_;
};

} // namespace vantorel::server

#include "storage/score_request.hpp"

namespace vantorel {

std::string ScoreReportUrl(const TScoreServer& server, const TScoreReport& report) {
    // The code is letters and digits only: it needs no escaping in a query.
    return server.ScriptUrl() + "?hs&prg=Vantorel&inf=" + EncodeScoreReport(report);
}

THttpRequest BuildScoreRequest(const TScoreServer& server, const TScoreReport& report) {
    THttpRequest request;
    request.Url = ScoreReportUrl(server, report);
    request.Headers = {
        {"Host", server.Authority()},
        {"Accept", "text/html, */*"},
        {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
        {"Content-Type", "text/html"},
    };
    request.ConnectTimeoutMs = 10000;
    request.TotalTimeoutMs = 20000;
    request.MaxBodyBytes = 64 * 1024;
    return request;
}

} // namespace vantorel

// The score report as the game sends it: one HTTP GET to the score server's
// script, the code in its query.
#pragma once

#include "platform/http_client.hpp"
#include "score_format/score_report.hpp"
#include "storage/score_server.hpp"

#include <string>

namespace vantorel {

/// The server's script with the query "hs&prg=Vantorel&inf=" and the code.
std::string ScoreReportUrl(const TScoreServer& server, const TScoreReport& report);

/// The request the game sends: GET of ScoreReportUrl with the headers Host (with
/// ":port" only when the port is not 80), Accept "text/html, */*", User-Agent
/// "Mozilla/3.0 (compatible; Indy Library)" and Content-Type "text/html", in this
/// order, no Content-Length; at most 10 s to connect, 20 s for the whole request
/// and 64 KiB of reply.
THttpRequest BuildScoreRequest(const TScoreServer& server, const TScoreReport& report);

} // namespace vantorel

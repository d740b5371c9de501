// The world table as JSON for other programs (/api/v1/scores).
#pragma once

#include "server/score_store.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace vantorel::server {

/// {"scores":[{"rank":1,"name":"...","score":123,"add":"...",
/// "date":"2026-12-10T04:00:00Z"},...],"count":TOTAL}: rows in the order given,
/// ranked from 1, texts converted from Windows-1252 to UTF-8; count is the number
/// of reports the table holds in all. Compact, and safe to paste into a page's
/// <script>: < > & and DEL in texts as \u003c \u003e \u0026 \u007f, other
/// control characters as \u00XX but for \t \n \r, non-ASCII as plain UTF-8.
std::string RenderScoresJson(const std::vector<TStoredScore>& rows, int64_t count);

/// The same for rows with their own ranks (the verified scores, ranked in the
/// whole table). Each row carries "verified" and "replay": the replay's
/// download path, or null.
std::string RenderRankedScoresJson(const std::vector<TRankedScore>& rows, int64_t count);

/// {"replay":ID,"state":"queued|verified|refused"} with "reason" for a refused
/// one and "score" (the row's id) for a verified one.
std::string RenderReplayStateJson(int64_t id, const TReplayJobState& job);

/// "/api/v1/replays/ID": where a verified replay is downloaded.
std::string ReplayPath(int64_t replayId);

/// {"error":"MESSAGE"}, MESSAGE being UTF-8 text, written as RenderScoresJson writes.
std::string RenderJsonError(std::string_view message);

} // namespace vantorel::server

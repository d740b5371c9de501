// The world table as JSON for other programs (/api/v1/scores).
#pragma once

#include "server/score_store.hpp"

#include <string>
#include <vector>

namespace vantorel::server {

/// {"scores":[{"rank":1,"name":"...","score":123,"add":"...",
/// "date":"2026-12-10T04:00:00Z"},...],"count":TOTAL}: rows in the order given,
/// ranked from 1, texts converted to UTF-8 and escaped; count is the number of
/// reports the table holds in all.
std::string RenderScoresJson(const std::vector<TStoredScore>& rows, int64_t count);

} // namespace vantorel::server

// The game's replay as it follows the score report to the world table: one
// POST of the replay file to the score server, which plays it back and marks
// the score verified.
#pragma once

#include "platform/http_client.hpp"
#include "storage/score_server.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

/// "http://" + the server's authority + "/api/v1/replays".
std::string ReplayUploadUrl(const TScoreServer& server);

/// POST of replay to ReplayUploadUrl with Content-Type application/octet-stream
/// and the headers Host (with ":port" only when the port is not 80), Accept
/// "application/json" and User-Agent as the report's; the report's bounds (10 s
/// to connect, 20 s in all, 64 KiB of reply).
THttpPost BuildReplayUpload(const TScoreServer& server, std::vector<uint8_t> replay);

} // namespace vantorel

#include "storage/replay_upload.hpp"

#include "storage/score_request.hpp"

#include <utility>

namespace vantorel {

std::string ReplayUploadUrl(const TScoreServer& server) {
    return "http://" + server.Authority() + "/api/v1/replays";
}

THttpPost BuildReplayUpload(const TScoreServer& server, std::vector<uint8_t> replay) {
    // The report's request gives the bounds and the agent; only the address
    // and what is accepted back differ.
    THttpPost post;
    post.Request = BuildScoreRequest(server, {});
    post.Request.Url = ReplayUploadUrl(server);
    post.Request.Headers = {
        {"Host", server.Authority()},
        {"Accept", "application/json"},
        {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
    };
    post.ContentType = "application/octet-stream";
    post.Body = std::move(replay);
    return post;
}

} // namespace vantorel

#include "server/scores_json.hpp"

#include "server/web_text.hpp"

namespace vantorel::server {

std::string RenderScoresJson(const std::vector<TStoredScore>& rows, int64_t count) {
    std::string json = "{\"scores\":[";
    size_t rank = 0;
    for (const TStoredScore& row : rows) {
        if (rank > 0)
            json += ',';
        ++rank;
        json += "{\"rank\":" + std::to_string(rank) + ",\"name\":\"" + JsonText(row.Name) +
                "\",\"score\":" + std::to_string(row.Score) + ",\"add\":\"" + JsonText(row.Add) +
                "\",\"date\":\"" + UtcDateTime(row.ReceivedAt) + "\"}";
    }
    json += "],\"count\":" + std::to_string(count) + "}";
    return json;
}

} // namespace vantorel::server

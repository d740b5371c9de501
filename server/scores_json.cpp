#include "server/scores_json.hpp"

#include "server/web_text.hpp"

#include "base/text_encoding.hpp"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace vantorel::server {

namespace {

// Fields stay in the order they are set: clients and tests read them in that order.
using TJson = nlohmann::ordered_json;

std::string Escaped(uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", byte);
    return text;
}

// JSON as nlohmann::json::dump writes it (compact, not ASCII-only), with the
// escapes clients have always read: see RenderScoresJson.
std::string JsonForScript(std::string_view json) {
    std::string out;
    out.reserve(json.size());
    for (size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '\\' && i + 1 < json.size()) {
            // Inside a string every backslash starts an escape: \b and \f are
            // written long, the rest kept as they are.
            const char next = json[++i];
            if (next == 'b')
                out += Escaped('\b');
            else if (next == 'f')
                out += Escaped('\f');
            else
                (out += c) += next;
        } else if (c == '<' || c == '>' || c == '&' || c == '\x7F') {
            // Only a string can hold these, never the JSON around it.
            out += Escaped(static_cast<uint8_t>(c));
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string RenderScoresJson(const std::vector<TStoredScore>& rows, int64_t count) {
    std::vector<TRankedScore> ranked;
    ranked.reserve(rows.size());
    int64_t rank = 0;
    for (const TStoredScore& row : rows)
        ranked.push_back({++rank, row});
    return RenderRankedScoresJson(ranked, count);
}

std::string RenderRankedScoresJson(const std::vector<TRankedScore>& rows, int64_t count) {
    TJson scores = TJson::array();
    for (const TRankedScore& ranked : rows) {
        const TStoredScore& row = ranked.Row;
        scores.push_back(TJson{
            {"rank", ranked.Rank},
            {"name", Cp1252ToUtf8(row.Name)},
            {"score", row.Score},
            {"add", Cp1252ToUtf8(row.Add)},
            {"date", UtcDateTime(row.ReceivedAt)},
            {"verified", row.ReplayId != 0},
            {"replay", row.ReplayId != 0 ? TJson(ReplayPath(row.ReplayId)) : TJson(nullptr)}});
    }
    const TJson json{{"scores", std::move(scores)}, {"count", count}};
    return JsonForScript(json.dump());
}

std::string RenderReplayStateJson(int64_t id, const TReplayJobState& job) {
    TJson json{{"replay", id}, {"state", job.State}};
    if (job.State == "refused")
        json["reason"] = job.Reason;
    if (job.State == "verified")
        json["score"] = job.ScoreId;
    return JsonForScript(json.dump());
}

std::string ReplayPath(int64_t replayId) {
    return "/api/v1/replays/" + std::to_string(replayId);
}

std::string RenderJsonError(std::string_view message) {
    return JsonForScript(TJson{{"error", std::string(message)}}.dump());
}

} // namespace vantorel::server

#include "server/score_service.hpp"

#include "server/report_check.hpp"
#include "server/scores_json.hpp"
#include "server/world_table_page.hpp"

#include <charconv>
#include <chrono>
#include <map>
#include <optional>

namespace vantorel::server {

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr const char* kText = "text/plain; charset=utf-8";

TWebResponse Page(int status, const std::string& heading, const std::string& text,
                  std::string note = {}) {
    return {status, kHtml, RenderMessagePage(heading, text), std::move(note)};
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// %-decoding of a query part ("+" is a space); nothing for a broken escape.
std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%') {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

/// The query's parameters; a bare key ("hs", "show") has an empty value. Nothing
/// when an escape is broken or a key is given twice (which of two codes would
/// count?).
std::optional<std::map<std::string, std::string>> ParseQuery(std::string_view query) {
    std::map<std::string, std::string> params;
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view part = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (part.empty())
            continue;
        const size_t eq = part.find('=');
        const auto key = Unescape(part.substr(0, eq));
        const auto value = eq == std::string_view::npos ? std::optional<std::string>("")
                                                        : Unescape(part.substr(eq + 1));
        if (!key || !value || !params.emplace(*key, *value).second)
            return std::nullopt;
    }
    return params;
}

const std::string* Find(const std::map<std::string, std::string>& params, const char* key) {
    const auto found = params.find(key);
    return found == params.end() ? nullptr : &found->second;
}

} // namespace

TServiceClock TServiceClock::System() {
    return {[] {
                return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                                std::chrono::system_clock::now().time_since_epoch())
                                                .count());
            },
            [] {
                return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now().time_since_epoch())
                                                .count());
            }};
}

TScoreService::TScoreService(IScoreStore& store, uint32_t reportsPerMinute, TServiceClock clock)
    : store_(store), limiter_(reportsPerMinute), clock_(std::move(clock)) {}

TWebResponse TScoreService::Handle(const TWebRequest& request) {
    if (request.Target.size() > kMaxTargetLength)
        return Page(414, "Request too long", "The address is too long.", "target too long");
    if (request.Method != "GET" && request.Method != "HEAD") {
        return Page(405, "Method not allowed", "Only GET is answered here.", "method");
    }
    const size_t mark = request.Target.find('?');
    const std::string_view path = std::string_view(request.Target).substr(0, mark);
    const std::string_view query = mark == std::string::npos
                                       ? std::string_view()
                                       : std::string_view(request.Target).substr(mark + 1);
    const auto params = ParseQuery(query);
    if (!params)
        return Page(400, "Bad request", "The query could not be read.", "bad query");

    try {
        if (path == "/cgi/version.pl") {
            const std::string* program = Find(*params, "prg");
            if (!program || *program != "Vantorel")
                return Page(404, "Unknown game", "This server keeps the Vantorel table only.",
                            "unknown prg");
            if (Find(*params, "hs")) {
                const std::string* code = Find(*params, "inf");
                if (!code)
                    return Page(400, "Bad report", "The report is missing.", "no inf");
                return Report(*code, request.Address);
            }
            if (Find(*params, "show")) {
                const std::string* type = Find(*params, "type");
                if (!type || *type != "0")
                    return Page(400, "Bad request", "Unknown table type.", "bad type");
                return WorldTable();
            }
            return Page(400, "Bad request", "Nothing was asked for.", "no hs or show");
        }
        if (path == "/api/v1/scores")
            return ScoresJson(Find(*params, "limit"));
        if (path == "/healthz")
            return Health();
    } catch (const std::exception& e) {
        return Page(503, "Try again later", "The world table cannot be reached now.", e.what());
    }
    return Page(404, "Not found", "There is no such page here.", "not found");
}

TWebResponse TScoreService::Report(const std::string& code, const std::string& address) {
    // Every report attempt takes a token, so a flood of bad codes is slowed too.
    if (!limiter_.Allow(address, clock_.SteadyMs()))
        return Page(429, "Too many reports", "Please wait a minute before sending again.",
                    "rate limit");
    const TScoreReportDecoding checked = CheckScoreReport(code);
    if (!checked.Report)
        return Page(400, "Bad report", "The report could not be read.", checked.Error);
    const TScoreReport& report = *checked.Report;
    store_.Add(report.Name, report.Score, report.Add, clock_.UnixSeconds());
    return Page(200, "Score received",
                "Score received: " + report.Name + ", " + std::to_string(report.Score) +
                    ". Thank you for playing Vantorel!");
}

TWebResponse TScoreService::WorldTable() {
    const std::vector<TStoredScore> rows = store_.Top(kPageRows);
    return {200, kHtml, RenderWorldTablePage(rows, store_.Count()), {}};
}

TWebResponse TScoreService::ScoresJson(const std::string* limitText) {
    size_t limit = kPageRows;
    if (limitText) {
        const char* begin = limitText->data();
        const char* end = begin + limitText->size();
        const auto [stop, ec] = std::from_chars(begin, end, limit);
        if (limitText->empty() || ec == std::errc::invalid_argument || stop != end || limit == 0)
            return {400, kJson, RenderJsonError("limit must be a whole number from 1 to 1000"),
                    "bad limit"};
        if (ec == std::errc::result_out_of_range || limit > kMaxJsonRows)
            limit = kMaxJsonRows;
    }
    const std::vector<TStoredScore> rows = store_.Top(limit);
    return {200, kJson, RenderScoresJson(rows, store_.Count()), {}};
}

TWebResponse TScoreService::Health() {
    if (store_.Healthy())
        return {200, kText, "ok\n", {}};
    return {503, kText, "database unavailable\n", "database unavailable"};
}

} // namespace vantorel::server

#include "server/score_service.hpp"

#include "server/entity_tag.hpp"
#include "server/name_prefix.hpp"
#include "server/report_check.hpp"
#include "server/scores_json.hpp"
#include "server/world_table_logo_svg.hpp"
#include "server/world_table_page.hpp"

#include "base/text_encoding.hpp"

#include <algorithm>
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
    return {status, kHtml, RenderMessagePage(heading, text), std::move(note), {}};
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

// How long a client may keep the table's page and JSON (it changes with every
// report) and the logo (it changes with the server's version) without asking.
constexpr int kTableMaxAge = 10;
constexpr int kLogoMaxAge = 86400;
// A verified replay's file never changes.
constexpr int kReplayMaxAge = 86400;

/// A 200 answer with its ETag and Cache-Control; 304 without a body when the
/// client already holds it. Other answers are not kept by clients.
TWebResponse Cached(const TWebRequest& request, TWebResponse response, int maxAge) {
    if (response.Status != 200)
        return response;
    const std::string tag = EntityTagOf(response.Body);
    response.Headers.emplace_back("ETag", tag);
    response.Headers.emplace_back("Cache-Control", "max-age=" + std::to_string(maxAge));
    if (IfNoneMatchNames(request.IfNoneMatch, tag)) {
        response.Status = 304;
        response.Body.clear();
    }
    return response;
}

/// Pages are numbered from 1; the largest is far past any table (a hundred
/// billion rows), so (page - 1) * kPageRows never overflows. Anything else,
/// a sign, a fraction or an empty value included, is no page number.
constexpr int64_t kMaxPage = 1'000'000'000;
std::optional<int64_t> PageNumber(const std::string& text) {
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    int64_t page = 0;
    const auto [stop, ec] = std::from_chars(text.data(), text.data() + text.size(), page);
    if (ec != std::errc() || stop != text.data() + text.size() || page < 1 || page > kMaxPage)
        return std::nullopt;
    return page;
}

/// The search shows at most this many matches (ten pages): a name's start that
/// matches more needs more of the name.
constexpr int64_t kMaxSearchMatches = 1000;
/// The longest text searched for: a name's length in the game's name entry.
constexpr size_t kMaxSearchLength = 12;

struct TSearchedName {
    std::string Cp1252; ///< as the table holds names
    bool CanMatch;      ///< false when a character has no Windows-1252 form
};

/// The searched text (UTF-8, as the page's form sends it) in the table's code
/// page; nothing for text that is not UTF-8 or longer than a name.
std::optional<TSearchedName> SearchedName(const std::string& utf8) {
    TSearchedName name{{}, true};
    size_t characters = 0;
    for (size_t at = 0; at < utf8.size();) {
        const std::optional<char32_t> code = DecodeUtf8(utf8, at);
        if (!code || ++characters > kMaxSearchLength)
            return std::nullopt;
        const std::optional<uint8_t> byte = CodePointToCp1252(*code);
        name.CanMatch = name.CanMatch && byte.has_value();
        name.Cp1252 += byte ? static_cast<char>(*byte) : '?';
    }
    return name;
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

TScoreService::TScoreService(IScoreStore& store, uint32_t reportsPerMinute, TServiceClock clock,
                             TReportSettings settings, TReplaySettings replays)
    : store_(store), limiter_(reportsPerMinute), recent_(settings.RepeatSeconds * 1000),
      replayLimiter_(reportsPerMinute), replays_(std::move(replays)), clock_(std::move(clock)),
      outcomeObserver_(std::move(settings.OutcomeObserver)),
      writer_(std::make_unique<TReportBatchWriter>(
          store, TSharedLimits{reportsPerMinute, settings.RepeatSeconds},
          std::move(settings.CommitObserver), settings.MaxBatch, settings.MaxWait)) {}

TWebResponse TScoreService::Handle(const TWebRequest& request) {
    if (request.Target.size() > kMaxTargetLength)
        return Page(414, "Request too long", "The address is too long.", "target too long");
    const size_t mark = request.Target.find('?');
    const std::string_view path = std::string_view(request.Target).substr(0, mark);
    if (path == kReplaysPath) {
        if (request.Method != "POST") {
            TWebResponse refused =
                Page(405, "Method not allowed", "Replays are sent with POST.", "method");
            refused.Headers.emplace_back("Allow", "POST");
            return refused;
        }
        try {
            return UploadReplay(request);
        } catch (const std::exception& e) {
            if (replays_.OutcomeObserver)
                replays_.OutcomeObserver("database");
            return {503, kJson, RenderJsonError("the replay cannot be kept now"), e.what(), {}};
        }
    }
    if (request.Method != "GET" && request.Method != "HEAD") {
        return Page(405, "Method not allowed", "Only GET is answered here.", "method");
    }
    const std::string_view query = mark == std::string::npos
                                       ? std::string_view()
                                       : std::string_view(request.Target).substr(mark + 1);
    const auto params = ParseQuery(query);
    if (!params)
        return Page(400, "Bad request", "The query could not be read.", "bad query");
    const std::string* verified = Find(*params, "verified");
    if (verified && *verified != "0" && *verified != "1")
        return Page(400, "Bad request", "verified is 1 (verified scores only) or 0.",
                    "bad verified");
    const bool verifiedOnly = verified && *verified == "1";

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
                return Cached(
                    request, WorldTable(Find(*params, "page"), Find(*params, "name"), verifiedOnly),
                    kTableMaxAge);
            }
            return Page(400, "Bad request", "Nothing was asked for.", "no hs or show");
        }
        if (path == "/api/v1/scores")
            return Cached(request, ScoresJson(Find(*params, "limit"), verifiedOnly), kTableMaxAge);
        if (path.starts_with(std::string(kReplaysPath) + "/")) {
            const std::string_view rest = path.substr(std::string_view(kReplaysPath).size() + 1);
            // A job's state changes until it is done: asked afresh each time.
            return Cached(request, Replay(rest), rest.ends_with("/state") ? 0 : kReplayMaxAge);
        }
        if (path == "/healthz")
            return Health();
        if (path == "/") {
            TWebResponse moved = Page(302, "World table", "The world table is one step away.");
            moved.Headers.emplace_back("Location", kWorldTableTarget);
            return moved;
        }
        if (path == kLogoPath)
            return Cached(request, {200, "image/svg+xml", std::string(kWorldTableLogoSvg), {}, {}},
                          kLogoMaxAge);
    } catch (const std::exception& e) {
        return Page(503, "Try again later", "The world table cannot be reached now.", e.what());
    }
    return Page(404, "Not found", "There is no such page here.", "not found");
}

TWebResponse TScoreService::Report(const std::string& code, const std::string& address) {
    const auto outcome = [&](std::string_view what) {
        if (outcomeObserver_)
            outcomeObserver_(what);
    };
    const std::string client = TRateLimiter::ClientKey(address);
    const int64_t nowMs = clock_.SteadyMs();
    // Every report attempt takes a token, so a flood of bad codes is slowed too.
    if (!limiter_.Allow(client, nowMs)) {
        outcome("rate_limited");
        return Page(429, "Too many reports", "Please wait a minute before sending again.",
                    "rate limit");
    }
    const TScoreReportDecoding checked = CheckScoreReport(code);
    if (!checked.Report) {
        outcome("malformed");
        return Page(400, "Bad report", "The report could not be read.", checked.Error);
    }
    const TScoreReport& report = *checked.Report;
    const TWebResponse received =
        Page(200, "Score received",
             "Score received: " + report.Name + ", " + std::to_string(report.Score) +
                 ". Thank you for playing Vantorel!");
    // A repeat is answered as the first copy was: the game only looks for a 2xx.
    if (!recent_.Claim(client, code, nowMs)) {
        outcome("duplicate");
        TWebResponse repeat = received;
        repeat.Note = "repeat";
        return repeat;
    }
    const TReportWrite write = writer_->Submit(
        {report.Name, report.Score, report.Add, clock_.UnixSeconds(), client, code});
    if (!write.Outcome || *write.Outcome == TAddOutcome::RateLimited)
        recent_.Release(client, code); // not stored: the client may send it again
    if (!write.Outcome) {
        outcome(write.TimedOut ? "busy" : "database");
        return Page(503, "Try again later", "The world table cannot be reached now.", write.Error);
    }
    switch (*write.Outcome) {
    case TAddOutcome::Stored:
        outcome("accepted");
        return received;
    case TAddOutcome::Repeated: {
        outcome("duplicate");
        TWebResponse repeat = received;
        repeat.Note = "repeat";
        return repeat;
    }
    case TAddOutcome::RateLimited:
        break;
    }
    outcome("rate_limited");
    return Page(429, "Too many reports", "Please wait a minute before sending again.",
                "rate limit");
}

TWebResponse TScoreService::WorldTable(const std::string* pageText, const std::string* nameText,
                                       bool verifiedOnly) {
    TWorldTableView view;
    view.VerifiedOnly = verifiedOnly;
    if (pageText) {
        const std::optional<int64_t> page = PageNumber(*pageText);
        if (!page)
            return Page(400, "Bad request",
                        "The page number must be a whole number from 1 to 1000000000.", "bad page");
        view.Page = *page;
    }
    const int64_t first = (view.Page - 1) * static_cast<int64_t>(kPageRows);
    const auto pagesFor = [](int64_t rows) {
        return std::max<int64_t>(1, (rows + static_cast<int64_t>(kPageRows) - 1) /
                                        static_cast<int64_t>(kPageRows));
    };
    if (nameText && !nameText->empty()) {
        const std::optional<TSearchedName> searched = SearchedName(*nameText);
        if (!searched)
            return Page(400, "Bad request",
                        "A name to find has at most 12 characters, sent as UTF-8.", "bad name");
        view.Search = searched->Cp1252;
        if (searched->CanMatch) {
            const TNamePrefix prefix(searched->Cp1252);
            const int64_t found = verifiedOnly
                                      ? store_.CountVerifiedByName(prefix, kMaxSearchMatches + 1)
                                      : store_.CountByName(prefix, kMaxSearchMatches + 1);
            view.MoreMatches = found > kMaxSearchMatches;
            view.Matches = std::min(found, kMaxSearchMatches);
            if (first < view.Matches) {
                const auto rows = static_cast<size_t>(
                    std::min<int64_t>(static_cast<int64_t>(kPageRows), view.Matches - first));
                view.Rows = verifiedOnly ? store_.FindVerifiedByName(prefix, first, rows)
                                         : store_.FindByName(prefix, first, rows);
            }
        }
        view.Pages = pagesFor(view.Matches);
    } else if (verifiedOnly) {
        view.Count = store_.CountVerified();
        view.Pages = pagesFor(view.Count);
        if (view.Page <= view.Pages)
            view.Rows = store_.Verified(first, kPageRows);
    } else {
        view.Count = store_.Count();
        view.Pages = pagesFor(view.Count);
        if (view.Page <= view.Pages) {
            const std::vector<TStoredScore> rows =
                view.Page == 1 ? store_.Top(kPageRows) : store_.Range(first, kPageRows);
            int64_t rank = first;
            for (const TStoredScore& row : rows)
                view.Rows.push_back({++rank, row});
        }
    }
    return {200, kHtml, RenderWorldTablePage(view), {}, {}};
}

TWebResponse TScoreService::ScoresJson(const std::string* limitText, bool verifiedOnly) {
    size_t limit = kPageRows;
    if (limitText) {
        const char* begin = limitText->data();
        const char* end = begin + limitText->size();
        const auto [stop, ec] = std::from_chars(begin, end, limit);
        if (limitText->empty() || ec == std::errc::invalid_argument || stop != end || limit == 0)
            return {400,
                    kJson,
                    RenderJsonError("limit must be a whole number from 1 to 1000"),
                    "bad limit",
                    {}};
        if (ec == std::errc::result_out_of_range || limit > kMaxJsonRows)
            limit = kMaxJsonRows;
    }
    if (verifiedOnly)
        return {200,
                kJson,
                RenderRankedScoresJson(store_.Verified(0, limit), store_.CountVerified()),
                {},
                {}};
    const std::vector<TStoredScore> rows = store_.Top(limit);
    return {200, kJson, RenderScoresJson(rows, store_.Count()), {}, {}};
}

TWebResponse TScoreService::UploadReplay(const TWebRequest& request) {
    const auto outcome = [&](std::string_view what) {
        if (replays_.OutcomeObserver)
            replays_.OutcomeObserver(what);
    };
    const auto refuse = [&](int status, std::string_view what, const std::string& message) {
        outcome(what);
        return TWebResponse{status, kJson, RenderJsonError(message), std::string(what), {}};
    };
    if (!replays_.Accept)
        return refuse(503, "no_verifier", "this server does not verify replays");
    // Every upload takes a token, as every report does.
    if (!replayLimiter_.Allow(TRateLimiter::ClientKey(request.Address), clock_.SteadyMs()))
        return refuse(429, "rate_limited", "please wait a minute before sending again");
    if (request.Body.size() > kMaxReplayBytes)
        return refuse(413, "too_large", "a replay is at most 262144 bytes");
    if (!std::string_view(request.Body).starts_with(kReplayMagic))
        return refuse(400, "not_replay", "the body is not a replay file");
    const int64_t id = store_.AddReplay(request.Body, clock_.UnixSeconds());
    outcome("queued");
    if (replays_.Queued)
        replays_.Queued();
    TWebResponse accepted{
        202, kJson, "{\"replay\":" + std::to_string(id) + ",\"state\":\"queued\"}", {}, {}};
    accepted.Headers.emplace_back("Location",
                                  std::string(kReplaysPath) + "/" + std::to_string(id) + "/state");
    return accepted;
}

TWebResponse TScoreService::Replay(std::string_view rest) {
    const size_t slash = rest.find('/');
    const std::string_view number = rest.substr(0, slash);
    const std::string_view what =
        slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    int64_t id = 0;
    const auto [stop, ec] = std::from_chars(number.data(), number.data() + number.size(), id);
    if (number.empty() || number.front() == '-' || ec != std::errc() ||
        stop != number.data() + number.size() || id < 1 ||
        (slash != std::string_view::npos && what != "state"))
        return Page(404, "Not found", "There is no such replay here.", "no replay");
    if (slash != std::string_view::npos) {
        const std::optional<TReplayJobState> job = store_.ReplayJob(id);
        if (!job)
            return {404, kJson, RenderJsonError("no such replay"), "no replay", {}};
        return {200, kJson, RenderReplayStateJson(id, *job), {}, {}};
    }
    std::optional<std::string> file = store_.VerifiedReplay(id);
    if (!file)
        return Page(404, "Not found", "There is no verified replay with this number.",
                    "no verified replay");
    TWebResponse download{200, "application/octet-stream", std::move(*file), {}, {}};
    download.Headers.emplace_back("Content-Disposition", "attachment; filename=\"vantorel-" +
                                                             std::to_string(id) + ".replay\"");
    return download;
}

TWebResponse TScoreService::Health() {
    if (store_.Healthy())
        return {200, kText, "ok\n", {}, {}};
    return {503, kText, "database unavailable\n", "database unavailable", {}};
}

} // namespace vantorel::server

// What the score server answers, apart from the HTTP transport: one request in,
// one response out. TScoreHttpServer feeds it; tests call it directly.
#pragma once

#include "server/rate_limiter.hpp"
#include "server/recent_reports.hpp"
#include "server/report_batch_writer.hpp"
#include "server/score_store.hpp"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantorel::server {

struct TWebRequest {
    std::string Method;      ///< "GET", "HEAD", ...
    std::string Target;      ///< the request target as received: path and query, still %-encoded
    std::string Address;     ///< the client's address, the key of its rate limit
    std::string IfNoneMatch; ///< the If-None-Match header, empty when absent
    std::string Body{};      ///< the request's body (a replay upload's file), else empty
};

struct TWebResponse {
    int Status = 200;
    std::string ContentType;
    std::string Body;
    std::string Note; ///< why a request was refused or failed, for the log; empty otherwise
    /// Further header fields of the answer (ETag, Cache-Control, Location, ...).
    std::vector<std::pair<std::string, std::string>> Headers;
};

/// The clocks the service reads; tests hand in their own.
struct TServiceClock {
    std::function<int64_t()> UnixSeconds; ///< the time a report is stamped with
    std::function<int64_t()> SteadyMs;    ///< the rate limit's clock
    static TServiceClock System();
};

/// How reports reach the table (TReportBatchWriter) and who is told about it.
struct TReportSettings {
    /// Told of every committed batch (seconds, reports in it).
    TReportBatchWriter::TCommitObserver CommitObserver;
    /// Told of every report's outcome: "accepted", "malformed", "rate_limited",
    /// "duplicate", "busy" or "database".
    std::function<void(std::string_view outcome)> OutcomeObserver;
    size_t MaxBatch = 256; ///< reports committed in one transaction at most
    /// The longest a report waits for its batch to start before it gets 503.
    std::chrono::milliseconds MaxWait{2000};
    /// A code sent again by the same client this soon is answered as received
    /// but stored once; 0 stores every copy.
    int64_t RepeatSeconds = 600;
};

/// How uploaded replays are taken in.
struct TReplaySettings {
    /// False when the server has no verifier: uploads get 503.
    bool Accept = false;
    /// Told of every upload queued (wakes TReplayWorker).
    std::function<void()> Queued;
    /// Told of every upload's outcome: "queued", "not_replay", "too_large",
    /// "rate_limited", "no_verifier" or "database".
    std::function<void(std::string_view outcome)> OutcomeObserver;
};

/// The largest replay file taken, in bytes (a whole game is a few KiB).
inline constexpr size_t kMaxReplayBytes = 256 * 1024;
/// Where replays are uploaded (POST) and, with "/ID" after, downloaded.
inline constexpr const char* kReplaysPath = "/api/v1/replays";

/// The longest request target accepted (path and query), in bytes; a longer one
/// gets 414.
inline constexpr size_t kMaxTargetLength = 1024;
/// Rows on the world table page, and the default and largest limit of the JSON.
inline constexpr size_t kPageRows = 100;
inline constexpr size_t kMaxJsonRows = 1000;

class TScoreService {
public:
    /// reportsPerMinute: reports accepted per address per minute, 0 for no limit.
    /// Reports are written by a writer thread of the service's own (group
    /// commit); the service must outlive no request in flight.
    TScoreService(IScoreStore& store, uint32_t reportsPerMinute,
                  TServiceClock clock = TServiceClock::System(), TReportSettings settings = {},
                  TReplaySettings replays = {});

    /// Answers one request; safe to call from several threads at once. Never
    /// throws: a failing database gives 503.
    ///  - GET /cgi/version.pl?hs&prg=Vantorel&inf=CODE stores a valid report (200,
    ///    "Score received") once its batch is committed; a malformed one gets 400,
    ///    one over the rate 429, one the database could not take in time 503. The
    ///    same code again from the same client within RepeatSeconds is answered
    ///    200 as well (the game counts it sent) and not stored again.
    ///  - GET /cgi/version.pl?prg=Vantorel&show&type=0: the world table page, 100
    ///    rows a page; &page=N (from 1) for further pages, &name=TEXT for the
    ///    scores whose names start with TEXT (any case), with their world rank.
    ///    400 for a page number that is not one or a name longer than a name.
    ///  - GET /api/v1/scores?limit=N: the table as JSON.
    ///    The page and the JSON carry an ETag and Cache-Control: max-age=10,
    ///    and answer 304 without a body to an If-None-Match naming their tag.
    ///  - GET /logo.svg: the game's title art, shown on the page.
    ///  - GET /: 302 to the world table page.
    ///  - GET /healthz: "ok", or 503 when the database does not answer.
    ///  - POST /api/v1/replays with a replay file as the body: kept and queued
    ///    for verification, 202 {"replay":ID,"state":"queued"}; 400 for a body
    ///    that does not start as a replay file, 413 for one over
    ///    kMaxReplayBytes, 429 over the rate (a limiter of its own, with the
    ///    reports' rate and client keys), 503 without a verifier.
    ///  - GET /api/v1/replays/ID: a verified replay's file, as an attachment;
    ///    404 for any other id. GET /api/v1/replays/ID/state: the job as JSON.
    ///  - &verified=1 on the page and the JSON: verified scores only.
    TWebResponse Handle(const TWebRequest& request);

private:
    TWebResponse Report(const std::string& code, const std::string& address);
    TWebResponse WorldTable(const std::string* page, const std::string* name, bool verifiedOnly);
    TWebResponse ScoresJson(const std::string* limit, bool verifiedOnly);
    TWebResponse UploadReplay(const TWebRequest& request);
    TWebResponse Replay(std::string_view rest);
    TWebResponse Health();

    IScoreStore& store_;
    TRateLimiter limiter_;
    TRecentReports recent_;
    TRateLimiter replayLimiter_;
    TReplaySettings replays_;
    TServiceClock clock_;
    std::function<void(std::string_view)> outcomeObserver_;
    /// Last: its thread stops first, committing what is queued.
    std::unique_ptr<TReportBatchWriter> writer_;
};

} // namespace vantorel::server

// The score server's answers through its request handler: reports refused and
// accepted, the world table page and JSON, the rate limit and the other routes,
// on SQLite and on PostgreSQL.
#include "server/score_service.hpp"

#include "score_format/score_code.hpp"
#include "score_format/score_report.hpp"
#include "score_store_contract.hpp"
#include "server_test_support.hpp"
#include "test_databases.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::server {
namespace {

using test_support::MakeEmptyPostgresStore;
using test_support::MakeEmptySqliteStore;

constexpr int64_t kNow = 1'796'875'200; // 2026-12-10 04:00:00 UTC

/// A payload as written, padded with the filler zeros and encoded: for reports
/// the game's encoder cannot make.
std::string CodeOf(std::string payload) {
    while (payload.size() % 5 != 0)
        payload.push_back('0');
    return EncodeScoreCode(payload);
}

std::string ReportTarget(const std::string& code) {
    return "/cgi/version.pl?hs&prg=Vantorel&inf=" + code;
}

std::string GameReport(const std::string& name, int32_t score, const std::string& add) {
    return ReportTarget(EncodeScoreReport({name, score, add}));
}

/// The cells of every <tr class="score"> row of a page.
std::vector<std::vector<std::string>> RowsOf(const std::string& page) {
    std::vector<std::vector<std::string>> rows;
    const std::regex row("<tr class=\"score[^\"]*\">(.*?)</tr>");
    const std::regex cell("<td[^>]*>(.*?)</td>");
    for (auto r = std::sregex_iterator(page.begin(), page.end(), row); r != std::sregex_iterator();
         ++r) {
        const std::string inner = (*r)[1];
        std::vector<std::string> cells;
        for (auto c = std::sregex_iterator(inner.begin(), inner.end(), cell);
             c != std::sregex_iterator(); ++c)
            cells.push_back((*c)[1]);
        rows.push_back(cells);
    }
    return rows;
}

/// The request handler over an empty table in each database the server runs on.
class ScoreService : public ::testing::TestWithParam<TScoreStoreFactory> {
protected:
    explicit ScoreService(uint32_t rate = 0) : rate_(rate) {}

    void SetUp() override {
        storePtr_ = GetParam().Make();
        if (IsSkipped())
            return;
        ASSERT_NE(storePtr_, nullptr);
        service_ = std::make_unique<TScoreService>(
            *storePtr_, rate_,
            TServiceClock{[this] { return unixSeconds_; }, [this] { return steadyMs_; }});
    }

    TWebResponse Get(const std::string& target, const std::string& address = "10.0.0.1") {
        return service_->Handle({"GET", target, address, {}});
    }
    IScoreStore& Store() { return *storePtr_; }
    /// Moves both clocks on.
    void Advance(int64_t seconds) {
        steadyMs_ += seconds * 1000;
        unixSeconds_ += seconds;
    }

    uint32_t rate_;
    std::unique_ptr<IScoreStore> storePtr_;
    int64_t unixSeconds_ = kNow;
    int64_t steadyMs_ = 1'000'000;
    std::unique_ptr<TScoreService> service_;
};

// Each malformed report is refused with a 4xx and leaves the table as it was.
TEST_P(ScoreService, MalformedReportsAreRefusedAndNothingIsStored) {
    const std::string good = EncodeScoreReport({"Ace", 1234, "_______"});
    std::string foreign = good;
    foreign[5] = '0'; // not in the alphabet (no 0, 1, I or O)
    std::string lower = good;
    lower[3] = 'k';
    struct TCase {
        const char* Label;
        std::string Target;
    };
    const std::vector<TCase> cases = {
        {"empty code", ReportTarget("")},
        {"no code at all", "/cgi/version.pl?hs&prg=Vantorel"},
        {"code given twice", ReportTarget(good) + "&inf=" + good},
        {"one character short", ReportTarget(good.substr(0, good.size() - 1))},
        {"one group short", ReportTarget(good.substr(0, good.size() - 8))},
        {"character outside the alphabet", ReportTarget(foreign)},
        {"lower-case letter", ReportTarget(lower)},
        {"overlong code", ReportTarget(std::string(520, 'K'))},
        {"wrong key", ReportTarget(CodeOf("type=0|name=Ace|score=5|key=Q|p=|add=|z="))},
        {"type 1", ReportTarget(CodeOf("type=1|name=Ace|score=5|key=V|p=|add=|z="))},
        {"key missing", ReportTarget(CodeOf("type=0|name=Ace|score=5|p=|add=|z="))},
        {"add missing", ReportTarget(CodeOf("type=0|name=Ace|score=5|key=V|p=|z="))},
        {"filler missing", ReportTarget(CodeOf("type=0|name=Ace|score=5|key=V|p=|add="))},
        {"out of order", ReportTarget(CodeOf("type=0|score=5|name=Ace|key=V|p=|add=|z="))},
        {"p not empty", ReportTarget(CodeOf("type=0|name=Ace|score=5|key=V|p=1|add=|z="))},
        {"filler not zeros", ReportTarget(CodeOf("type=0|name=Ace|score=5|key=V|p=|add=|z=1"))},
        {"too much filler",
         ReportTarget(EncodeScoreCode("type=0|name=Abc|score=5|key=V|p=|add=|z=00000"))},
        {"score not a number", ReportTarget(CodeOf("type=0|name=Ace|score=12a4|key=V|p=|add=|z="))},
        {"score empty", ReportTarget(CodeOf("type=0|name=Ace|score=|key=V|p=|add=|z="))},
        {"score above 32 bits",
         ReportTarget(CodeOf("type=0|name=Ace|score=2147483648|key=V|p=|add=|z="))},
        {"score below 32 bits",
         ReportTarget(CodeOf("type=0|name=Ace|score=-2147483649|key=V|p=|add=|z="))},
        {"score with a plus", ReportTarget(CodeOf("type=0|name=Ace|score=+5|key=V|p=|add=|z="))},
        {"overlong name", GameReport("ABCDEFGHIJKLM", 5, "")},
        {"markup in the name", GameReport("<b>X", 5, "")},
        {"quote in the name", GameReport("A\"B", 5, "")},
        {"separator in the name", GameReport("A|B", 5, "")},
        {"byte above 127 in the name", GameReport("J\xF6rg", 5, "")},
        {"underscore in the name", GameReport("A_B", 5, "")},
        {"overlong add text", GameReport("Ace", 5, "ABCDEFGHIJKLM")},
        {"markup in the add text", GameReport("Ace", 5, "<script>")},
        {"broken escape", "/cgi/version.pl?hs&prg=Vantorel&inf=%4"},
    };
    for (const TCase& c : cases) {
        const TWebResponse response = Get(c.Target);
        EXPECT_GE(response.Status, 400) << c.Label;
        EXPECT_LT(response.Status, 500) << c.Label;
        EXPECT_EQ(response.Body.find("Score received"), std::string::npos) << c.Label;
    }
    EXPECT_EQ(Store().Count(), 0);
}

// Reports made by the game's own encoder are stored and shown, best first and
// equal scores in the order they came.
TEST_P(ScoreService, GameReportsAreStoredAndShownInOrder) {
    struct TSent {
        const char* Name;
        int32_t Score;
        const char* Add;
        int64_t At;
    };
    const std::vector<TSent> sent = {
        {"ABC", 1234, "_______", kNow},
        {"Zoe", 99000, "hello world", kNow + 60},
        {"Max Power 12", 1234, "", kNow + 86400},
        {"x", 2147483647, "ABCDEFGHIJKL", kNow + 1},
        {"Neg", -10, "_x_", kNow + 2},
        {"", 7, "", kNow + 3}, // the name entry commits an empty name
    };
    for (const TSent& s : sent) {
        unixSeconds_ = s.At;
        const TWebResponse response = Get(GameReport(s.Name, s.Score, s.Add));
        EXPECT_EQ(response.Status, 200) << s.Name << ": " << response.Note;
        EXPECT_NE(response.Body.find("Score received"), std::string::npos);
    }
    ASSERT_EQ(Store().Count(), 6);

    const TWebResponse page = Get("/cgi/version.pl?prg=Vantorel&show&type=0");
    ASSERT_EQ(page.Status, 200);
    EXPECT_EQ(page.ContentType, "text/html; charset=utf-8");
    EXPECT_NE(page.Body.find("<title>Vantorel World Highscores</title>"), std::string::npos);
    EXPECT_NE(page.Body.find("<meta charset=\"utf-8\">"), std::string::npos);
    using TCells = std::vector<std::string>;
    EXPECT_EQ(RowsOf(page.Body),
              (std::vector<TCells>{{"1", "x", "2147483647", "ABCDEFGHIJKL", "2026-12-10", ""},
                                   {"2", "Zoe", "99000", "hello world", "2026-12-10", ""},
                                   {"3", "ABC", "1234", "_______", "2026-12-10", ""},
                                   {"4", "Max Power 12", "1234", "", "2026-12-11", ""},
                                   {"5", "", "7", "", "2026-12-10", ""},
                                   {"6", "Neg", "-10", "_x_", "2026-12-10", ""}}));

    const TWebResponse json = Get("/api/v1/scores?limit=2");
    ASSERT_EQ(json.Status, 200);
    EXPECT_EQ(json.ContentType, "application/json; charset=utf-8");
    EXPECT_EQ(json.Body, "{\"scores\":[{\"rank\":1,\"name\":\"x\",\"score\":2147483647,\"add\":"
                         "\"ABCDEFGHIJKL\",\"date\":\"2026-12-10T04:00:01Z\",\"verified\":false,"
                         "\"replay\":null},{\"rank\":2,\"name\":\"Zoe\",\"score\":99000,\"add\":"
                         "\"hello world\",\"date\":\"2026-12-10T04:01:00Z\",\"verified\":false,"
                         "\"replay\":null}],"
                         "\"count\":6}");
}

// Rows that reached the table some other way (an older server, a hand edit) are
// still shown as text: markup escaped, Windows-1252 letters as UTF-8.
TEST_P(ScoreService, StoredTextsAreEscapedOnThePageAndInTheJson) {
    Store().Add("<b>X", 300, "a&b\"c'", kNow);
    Store().Add("J\xF6rg \x80", 200, "\\\n<", kNow);
    const TWebResponse page = Get("/cgi/version.pl?prg=Vantorel&show&type=0");
    const auto rows = RowsOf(page.Body);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1], "&lt;b&gt;X");
    EXPECT_EQ(rows[0][3], "a&amp;b&quot;c&#39;");
    EXPECT_EQ(rows[1][1], "J\xC3\xB6rg \xE2\x82\xAC");
    EXPECT_EQ(page.Body.find("<b>X"), std::string::npos);

    const TWebResponse json = Get("/api/v1/scores");
    EXPECT_NE(
        json.Body.find("\"name\":\"\\u003cb\\u003eX\",\"score\":300,\"add\":\"a\\u0026b\\\"c'\""),
        std::string::npos)
        << json.Body;
    EXPECT_NE(json.Body.find("\"name\":\"J\xC3\xB6rg \xE2\x82\xAC\",\"score\":200,\"add\":"
                             "\"\\\\\\n\\u003c\""),
              std::string::npos)
        << json.Body;
}

TEST_P(ScoreService, TheTablePageShowsTheTopHundred) {
    for (int32_t i = 0; i < 130; ++i)
        Store().Add("P" + std::to_string(i), i, "", kNow);
    const TWebResponse page = Get("/cgi/version.pl?prg=Vantorel&show&type=0");
    const auto rows = RowsOf(page.Body);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows.front()[1], "P129");
    EXPECT_EQ(rows.back()[0], "100");
    EXPECT_EQ(rows.back()[1], "P30");
    EXPECT_NE(page.Body.find("130 scores"), std::string::npos);
}

TEST_P(ScoreService, OtherRequestsGetTheirOwnAnswers) {
    Store().Add("A", 1, "", kNow);
    struct TCase {
        const char* Method;
        std::string Target;
        int Status;
    };
    const std::vector<TCase> cases = {
        {"GET", "/healthz", 200},
        {"HEAD", "/healthz", 200},
        {"GET", "/cgi/version.pl?prg=Vantorel&type=0&show", 200},
        {"GET", "/cgi/version.pl?prg=Vantorel&show", 400},
        {"GET", "/cgi/version.pl?prg=Vantorel&show&type=1", 400},
        {"GET", "/cgi/version.pl?prg=Other&show&type=0", 404},
        {"GET", "/cgi/version.pl?show&type=0", 404},
        {"GET", "/cgi/version.pl?prg=Vantorel", 400},
        {"GET", "/cgi/version.pl", 404},
        {"GET", "/", 302},
        {"GET", "/cgi/version.pl/../etc/passwd", 404},
        {"POST", "/cgi/version.pl?hs&prg=Vantorel&inf=" + EncodeScoreReport({"A", 1, ""}), 405},
        {"GET", "/api/v1/scores?limit=abc", 400},
        {"GET", "/api/v1/scores?limit=0", 400},
        {"GET", "/api/v1/scores?limit=-1", 400},
        {"GET", "/api/v1/scores?limit=", 400},
        {"GET", "/api/v1/scores?limit=99999999999999999999999", 200},
        {"GET", "/healthz?" + std::string(kMaxTargetLength, 'a'), 414},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(service_->Handle({c.Method, c.Target, "10.0.0.1", {}}).Status, c.Status)
            << c.Method << " " << c.Target.substr(0, 80);
    EXPECT_EQ(Get("/healthz").Body, "ok\n");
    const TWebResponse badLimit = Get("/api/v1/scores?limit=0");
    EXPECT_EQ(badLimit.ContentType, "application/json; charset=utf-8");
    EXPECT_EQ(badLimit.Body, "{\"error\":\"limit must be a whole number from 1 to 1000\"}");
    EXPECT_EQ(Store().Count(), 1) << "the POST stored nothing";
}

class RateLimitedScoreService : public ScoreService {
protected:
    RateLimitedScoreService() : ScoreService(3) {}
};

// Three reports a minute: the fourth from the same address waits, another
// address does not, and a token comes back every 20 seconds.
TEST_P(RateLimitedScoreService, ReportsOverTheRateGet429AndAreNotStored) {
    int32_t score = 0;
    const auto report = [&] { return GameReport("Ace", ++score, ""); };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Get(report()).Status, 200) << i;
    EXPECT_EQ(Get(report()).Status, 429);
    EXPECT_EQ(Get(report(), "10.0.0.2").Status, 200);
    Advance(19);
    EXPECT_EQ(Get(report()).Status, 429);
    Advance(1);
    EXPECT_EQ(Get(report()).Status, 200);
    EXPECT_EQ(Get(report()).Status, 429);
    EXPECT_EQ(Get("/cgi/version.pl?prg=Vantorel&show&type=0").Status, 200)
        << "the table is not rate limited";
    EXPECT_EQ(Store().Count(), 5);
}

// A report sent again (a retry whose answer was lost, a captured request
// replayed) is answered as the first was, for the game looks only for a 2xx,
// and stored once; another client's copy, or the same one ten minutes on, is
// a new report.
TEST_P(ScoreService, ARepeatedReportIsAnsweredButStoredOnce) {
    const std::string report = GameReport("Ace", 4321, "");
    const TWebResponse first = Get(report);
    ASSERT_EQ(first.Status, 200) << first.Note;
    for (int i = 0; i < 3; ++i) {
        Advance(60);
        const TWebResponse again = Get(report);
        EXPECT_EQ(again.Status, 200);
        EXPECT_EQ(again.Body, first.Body);
    }
    EXPECT_EQ(Store().Count(), 1);
    EXPECT_EQ(Get(report, "2001:db8::1").Status, 200);
    EXPECT_EQ(Get(report, "2001:db8::2").Status, 200) << "one /64 is one client";
    EXPECT_EQ(Store().Count(), 2);
    Advance(7 * 60);
    EXPECT_EQ(Get(report).Status, 200);
    EXPECT_EQ(Store().Count(), 3);
}

/// A database that has gone away.
class TBrokenStore final : public IScoreStore {
public:
    int64_t Add(const std::string&, int32_t, const std::string&, int64_t) override {
        throw std::runtime_error("connection lost");
    }
    std::vector<TAddOutcome> AddBatch(const std::vector<TNewScore>&,
                                      const TSharedLimits&) override {
        throw std::runtime_error("connection lost");
    }
    std::vector<TStoredScore> Top(size_t) override { throw std::runtime_error("connection lost"); }
    int64_t Count() override { throw std::runtime_error("connection lost"); }
    bool Healthy() override { return false; }
};

INSTANTIATE_TEST_SUITE_P(Sqlite, ScoreService,
                         ::testing::Values(TScoreStoreFactory{MakeEmptySqliteStore}));
INSTANTIATE_TEST_SUITE_P(Postgres, ScoreService,
                         ::testing::Values(TScoreStoreFactory{MakeEmptyPostgresStore}));
INSTANTIATE_TEST_SUITE_P(Sqlite, RateLimitedScoreService,
                         ::testing::Values(TScoreStoreFactory{MakeEmptySqliteStore}));
INSTANTIATE_TEST_SUITE_P(Postgres, RateLimitedScoreService,
                         ::testing::Values(TScoreStoreFactory{MakeEmptyPostgresStore}));

// Two server processes on one PostgreSQL database: the rate and the repeat
// filter hold across both, though each process alone would let more through.
TEST(ScoreServicesSharingPostgres, TheRateAndTheRepeatsAreCountedOnce) {
    if (test_support::TestDatabase() == nullptr)
        return test_support::SkipWithoutDatabase();
    const std::string connection = test_support::ConnectionFor(test_support::FreshSchema());
    const auto storeA = OpenPostgresScoreStore(connection);
    const auto storeB = OpenPostgresScoreStore(connection);
    int64_t unixSeconds = kNow;
    const TServiceClock clock{[&] { return unixSeconds; }, [&] { return unixSeconds * 1000; }};
    TScoreService a(*storeA, 3, clock);
    TScoreService b(*storeB, 3, clock);
    std::map<int, int> statuses;
    for (int32_t i = 0; i < 8; ++i)
        ++statuses
            [(i % 2 == 0 ? a : b).Handle({"GET", GameReport("Ace", i, ""), "10.0.0.1", {}}).Status];
    EXPECT_EQ(statuses, (std::map<int, int>{{200, 3}, {429, 5}}));
    EXPECT_EQ(storeA->Count(), 3);

    unixSeconds += 3600;
    const std::string report = GameReport("Once", 77, "");
    EXPECT_EQ(a.Handle({"GET", report, "10.0.0.2", {}}).Status, 200);
    const TWebResponse repeat = b.Handle({"GET", report, "10.0.0.2", {}});
    EXPECT_EQ(repeat.Status, 200);
    EXPECT_EQ(repeat.Note, "repeat");
    EXPECT_EQ(storeA->Count(), 4);
}

// An operator's write transaction left open on the SQLite file: reads go on
// beside it, and a report is refused with 503 within the bound instead of
// waiting for it (and holding its connection) as long as it lasts.
TEST(ScoreServiceOnABusySqliteFile, ReadsAnswerAndAReportIsRefusedInTime) {
    test_support::TTempFolder folder;
    const std::string path = folder.File("scores.sqlite").string();
    TSqliteScoreStore store(path);
    store.Add("Before", 5, "", kNow);
    TReportSettings settings;
    settings.MaxWait = std::chrono::milliseconds(500);
    TScoreService service(store, 0, TServiceClock::System(), settings);

    sqlite3* outside = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &outside), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(outside,
                           "BEGIN IMMEDIATE; INSERT INTO scores(name, score, add_text, "
                           "received_at) VALUES('Held', 1, '', 0)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const auto since = [start = std::chrono::steady_clock::now()] {
        return std::chrono::steady_clock::now() - start;
    };
    EXPECT_EQ(service.Handle({"GET", "/healthz", "10.0.0.1", {}}).Status, 200);
    EXPECT_EQ(
        service.Handle({"GET", "/cgi/version.pl?prg=Vantorel&show&type=0", "10.0.0.1", {}}).Status,
        200);
    const TWebResponse report = service.Handle({"GET", GameReport("Late", 9, ""), "10.0.0.1", {}});
    EXPECT_EQ(report.Status, 503) << report.Note;
    // The write lock's wait (1.5 s) and the queue's (0.5 s) bound it; the
    // transaction is held far longer. Generous, for a loaded machine.
    EXPECT_LT(since(), std::chrono::seconds(6));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(sqlite3_exec(outside, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(outside);

    EXPECT_EQ(service.Handle({"GET", GameReport("Late", 9, ""), "10.0.0.1", {}}).Status, 200)
        << "refused, it may be sent again";
    EXPECT_EQ(store.Count(), 2);
}

TEST(ScoreServiceWithoutDatabase, AnswersUnavailableNotSuccess) {
    TBrokenStore store;
    TScoreService service(store, 0);
    const auto status = [&](const std::string& target) {
        return service.Handle({"GET", target, "10.0.0.1", {}}).Status;
    };
    EXPECT_EQ(status(GameReport("Ace", 10, "")), 503);
    EXPECT_EQ(status("/cgi/version.pl?prg=Vantorel&show&type=0"), 503);
    EXPECT_EQ(status("/api/v1/scores"), 503);
    EXPECT_EQ(status("/healthz"), 503);
}

} // namespace
} // namespace vantorel::server

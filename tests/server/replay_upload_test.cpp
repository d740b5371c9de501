// Replays sent to the score server: the upload's answers, the download of a
// verified replay, and the world table's verified mark and filter, through the
// request handler and, for what the transport decides, over HTTP.
#include "server/score_service.hpp"

#include "http_test_client.hpp"
#include "served_service.hpp"
#include "server/sqlite_score_store.hpp"
#include "server_test_support.hpp"

#include "score_format/score_report.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace vantorel::server {
namespace {

using test_support::TTempFolder;

constexpr int64_t kNow = 1'796'875'200; // 2026-12-10 04:00:00 UTC

const std::string kReplay = std::string("VANTOREL-REPLAY\x01\x00\x00\x10", 19) + "a game";

TReplayVerdict Game(const std::string& name, int32_t score, const std::string& add) {
    TReplayVerdict verdict;
    verdict.Verified = true;
    verdict.Outcome = "verified";
    verdict.Name = name;
    verdict.Score = score;
    verdict.Add = add;
    return verdict;
}

/// The handler on a SQLite table, taking replays (as with --replay-verifier)
/// unless told otherwise, at 3 requests per minute and client.
class ReplayUpload : public ::testing::Test {
protected:
    void SetUp() override { Start(true); }

    void Start(bool accept) {
        service_.reset();
        store_ = std::make_unique<TSqliteScoreStore>(folder_.File("scores.sqlite").string());
        TReplaySettings replays;
        replays.Accept = accept;
        replays.Queued = [this] { ++queued_; };
        replays.OutcomeObserver = [this](std::string_view outcome) {
            outcomes_.emplace_back(outcome);
        };
        service_ = std::make_unique<TScoreService>(
            *store_, 3, TServiceClock{[] { return kNow; }, [this] { return steadyMs_; }},
            TReportSettings{}, replays);
    }

    TWebResponse Post(const std::string& body, const std::string& address = "10.0.0.1",
                      const std::string& target = kReplaysPath) {
        TWebRequest request{"POST", target, address, {}};
        request.Body = body;
        return service_->Handle(request);
    }
    TWebResponse Get(const std::string& target, const std::string& ifNoneMatch = {}) {
        return service_->Handle({"GET", target, "10.0.0.9", ifNoneMatch});
    }
    /// Runs the queued jobs, each proving the game given.
    void Verify(const TReplayVerdict& verdict) {
        while (store_->CheckNextReplay([&](int64_t, const std::string&) { return verdict; })) {
        }
    }

    TTempFolder folder_;
    std::unique_ptr<TSqliteScoreStore> store_;
    std::unique_ptr<TScoreService> service_;
    int64_t steadyMs_ = 1'000'000;
    int queued_ = 0;
    std::vector<std::string> outcomes_;
};

TEST_F(ReplayUpload, AReplayIsKeptQueuedAndAnswered202) {
    const TWebResponse answer = Post(kReplay);
    ASSERT_EQ(answer.Status, 202) << answer.Note;
    EXPECT_EQ(answer.ContentType, "application/json; charset=utf-8");
    const std::smatch found = [&] {
        std::smatch match;
        std::regex_match(answer.Body, match, std::regex(R"(\{"replay":(\d+),"state":"queued"\})"));
        return match;
    }();
    ASSERT_FALSE(found.empty()) << answer.Body;
    const int64_t id = std::stoll(found[1]);
    EXPECT_EQ(store_->ReplayJob(id)->State, "queued");
    EXPECT_EQ(queued_, 1);
    EXPECT_EQ(outcomes_, std::vector<std::string>{"queued"});

    const TWebResponse state = Get("/api/v1/replays/" + std::to_string(id) + "/state");
    EXPECT_EQ(state.Body, "{\"replay\":" + std::to_string(id) + ",\"state\":\"queued\"}");
    std::string seen;
    store_->CheckNextReplay([&](int64_t, const std::string& bytes) {
        seen = bytes;
        return Game("Ace", 5, "");
    });
    EXPECT_EQ(seen, kReplay); // every byte, NULs included
}

TEST_F(ReplayUpload, WhatIsNoReplayIsRefusedAndNothingQueued) {
    struct TCase {
        const char* What;
        std::string Body;
        int Status;
        const char* Outcome;
    };
    const std::vector<TCase> cases = {
        {"empty", "", 400, "not_replay"},
        {"another file", "PK\x03\x04 a zip", 400, "not_replay"},
        {"the magic cut short", "VANTOREL-REPLA", 400, "not_replay"},
        {"over the size", "VANTOREL-REPLAY" + std::string(kMaxReplayBytes, 'x'), 413, "too_large"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        outcomes_.clear();
        const TWebResponse answer =
            Post(c.Body, std::string("10.0.1.") + std::to_string(&c - &cases[0]));
        EXPECT_EQ(answer.Status, c.Status);
        EXPECT_EQ(outcomes_, std::vector<std::string>{c.Outcome});
    }
    EXPECT_EQ(queued_, 0);
    EXPECT_FALSE(
        store_->CheckNextReplay([](int64_t, const std::string&) { return TReplayVerdict{}; }));
}

// Uploads count per client key as reports do (an IPv6 /64 is one client), in a
// limiter of their own: a game's report is never refused for its replay.
TEST_F(ReplayUpload, UploadsAreRateLimitedPerClientApartFromReports) {
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Post(kReplay, "2001:db8::" + std::to_string(i + 1)).Status, 202);
    const TWebResponse over = Post(kReplay, "2001:db8::99");
    EXPECT_EQ(over.Status, 429);
    EXPECT_EQ(outcomes_.back(), "rate_limited");
    EXPECT_EQ(Post(kReplay, "2001:db8:0:1::1").Status, 202); // another /64
    const std::string report =
        "/cgi/version.pl?hs&prg=Vantorel&inf=" + EncodeScoreReport({"Ace", 5, ""});
    EXPECT_EQ(service_->Handle({"GET", report, "2001:db8::5", {}}).Status, 200);
    steadyMs_ += 60'000;
    EXPECT_EQ(Post(kReplay, "2001:db8::1").Status, 202);
}

TEST_F(ReplayUpload, WithoutAVerifierUploadsGet503) {
    Start(false);
    const TWebResponse answer = Post(kReplay);
    EXPECT_EQ(answer.Status, 503);
    EXPECT_EQ(outcomes_, std::vector<std::string>{"no_verifier"});
    EXPECT_FALSE(
        store_->CheckNextReplay([](int64_t, const std::string&) { return TReplayVerdict{}; }));
}

TEST_F(ReplayUpload, OnlyPostTakesAReplay) {
    EXPECT_EQ(Get(kReplaysPath).Status, 405);
    EXPECT_EQ(Post(kReplay, "10.0.0.1", "/cgi/version.pl?hs&prg=Vantorel").Status, 405);
}

// A verified replay is handed out as a file to save and play; an unverified,
// refused or unknown one is not there.
TEST_F(ReplayUpload, AVerifiedReplayIsDownloadedAsAFile) {
    ASSERT_EQ(Post(kReplay).Status, 202);
    ASSERT_EQ(Post(kReplay + "x").Status, 202);
    const std::string first = "/api/v1/replays/1";
    EXPECT_EQ(Get(first).Status, 404); // queued
    store_->CheckNextReplay([](int64_t, const std::string&) { return Game("Ace", 5, ""); });
    store_->CheckNextReplay([](int64_t, const std::string&) {
        TReplayVerdict refused;
        refused.Outcome = "refused";
        refused.Reason = "frame 3: the state hash differs";
        return refused;
    });
    const TWebResponse file = Get(first);
    ASSERT_EQ(file.Status, 200);
    EXPECT_EQ(file.ContentType, "application/octet-stream");
    EXPECT_EQ(file.Body, kReplay);
    std::string disposition, tag;
    for (const auto& [name, value] : file.Headers) {
        if (name == "Content-Disposition")
            disposition = value;
        if (name == "ETag")
            tag = value;
    }
    EXPECT_EQ(disposition, "attachment; filename=\"vantorel-1.replay\"");
    ASSERT_FALSE(tag.empty());
    EXPECT_EQ(Get(first, tag).Status, 304);
    EXPECT_EQ(Get("/api/v1/replays/2").Status, 404); // refused
    EXPECT_EQ(Get("/api/v1/replays/2/state").Body,
              "{\"replay\":2,\"state\":\"refused\",\"reason\":\"frame 3: the state hash "
              "differs\"}");
    for (const char* id : {"3", "0", "-1", "1x", "", "99999999999999999999", "1/file"})
        EXPECT_EQ(Get(std::string("/api/v1/replays/") + id).Status, 404) << id;
}

/// The cells of every verified row of a page: rank, name, replay link.
std::vector<std::vector<std::string>> VerifiedRowsOf(const std::string& page) {
    std::vector<std::vector<std::string>> rows;
    const std::regex row(R"re(<tr class="score( top)? verified"><td class="rank">(\d+)</td>)re"
                         R"re(<td class="name">([^<]*)</td>.*?<a href="([^"]*)" download>)re");
    for (auto at = std::sregex_iterator(page.begin(), page.end(), row);
         at != std::sregex_iterator(); ++at)
        rows.push_back({(*at)[2], (*at)[3], (*at)[4]});
    return rows;
}

TEST_F(ReplayUpload, ThePageMarksVerifiedScoresAndFiltersToThem) {
    for (int i = 1; i <= 150; ++i)
        store_->Add("P" + std::to_string(i), i, "", kNow);
    ASSERT_EQ(Post(kReplay + "1").Status, 202);
    ASSERT_EQ(Post(kReplay + "2").Status, 202);
    store_->CheckNextReplay([](int64_t, const std::string&) { return Game("P150", 150, ""); });
    store_->CheckNextReplay([](int64_t, const std::string&) { return Game("P20", 20, ""); });

    const std::string table = "/cgi/version.pl?prg=Vantorel&show&type=0";
    const TWebResponse all = Get(table);
    ASSERT_EQ(all.Status, 200);
    EXPECT_EQ(VerifiedRowsOf(all.Body),
              (std::vector<std::vector<std::string>>{{"1", "P150", "/api/v1/replays/1"}}));
    EXPECT_NE(all.Body.find("href=\"/cgi/version.pl?prg=Vantorel&amp;show&amp;type=0&amp;"
                            "verified=1\""),
              std::string::npos);

    const TWebResponse verified = Get(table + "&verified=1");
    ASSERT_EQ(verified.Status, 200);
    EXPECT_EQ(VerifiedRowsOf(verified.Body),
              (std::vector<std::vector<std::string>>{{"1", "P150", "/api/v1/replays/1"},
                                                     {"131", "P20", "/api/v1/replays/2"}}));
    EXPECT_EQ(verified.Body.find("<tr class=\"score\">"), std::string::npos); // no other row
    EXPECT_NE(verified.Body.find("name=\"verified\" value=\"1\""),
              std::string::npos); // the form keeps it

    // With the name search, and a page past the end linking back with the filter.
    EXPECT_EQ(VerifiedRowsOf(Get(table + "&verified=1&name=p2").Body),
              (std::vector<std::vector<std::string>>{{"131", "P20", "/api/v1/replays/2"}}));
    EXPECT_TRUE(VerifiedRowsOf(Get(table + "&verified=1&name=p3").Body).empty());
    EXPECT_NE(
        Get(table + "&verified=1&page=3").Body.find("&amp;verified=1\">Back to the first page"),
        std::string::npos);
    EXPECT_EQ(Get(table + "&verified=yes").Status, 400);

    const TWebResponse json = Get("/api/v1/scores?verified=1");
    EXPECT_EQ(json.Body,
              "{\"scores\":[{\"rank\":1,\"name\":\"P150\",\"score\":150,\"add\":\"\",\"date\":"
              "\"2026-12-10T04:00:00Z\",\"verified\":true,\"replay\":\"/api/v1/replays/1\"},"
              "{\"rank\":131,\"name\":\"P20\",\"score\":20,\"add\":\"\",\"date\":"
              "\"2026-12-10T04:00:00Z\",\"verified\":true,\"replay\":\"/api/v1/replays/2\"}],"
              "\"count\":2}");
}

// ---- Over HTTP: what the transport decides ------------------------------------

TEST(ReplayUploadOverHttp, TheBodyArrivesWholeAlsoAfterA100Continue) {
    int queued = 0;
    TReplaySettings replays;
    replays.Accept = true;
    replays.Queued = [&queued] { ++queued; };
    test_support::TServedService served(THttpServerConfig{}, {}, replays);
    const std::string body = kReplay + std::string(200 * 1024, 'r');

    test_support::THttpTestClient client("127.0.0.1", served.Port());
    const auto plain =
        client.Request("POST", kReplaysPath, {{"Content-Type", "application/octet-stream"}}, body);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Status, 202) << plain->Body;

    // A client that waits for 100 Continue before its body gets it.
    test_support::THttpConnectionForTest waiting("127.0.0.1", served.Port());
    ASSERT_TRUE(waiting.Send("POST /api/v1/replays HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\n"
                             "Content-Length: " +
                             std::to_string(body.size()) + "\r\n\r\n"));
    const auto goOn = waiting.ReadAnswer(true);
    ASSERT_TRUE(goOn);
    EXPECT_EQ(goOn->Status, 100);
    ASSERT_TRUE(waiting.Send(body));
    const auto accepted = waiting.ReadAnswer();
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->Status, 202);

    std::vector<std::string> files;
    while (served.Store().CheckNextReplay([&](int64_t, const std::string& bytes) {
        files.push_back(bytes);
        return Game("Ace", 1, "");
    })) {
    }
    EXPECT_EQ(files, (std::vector<std::string>{body, body}));
    EXPECT_EQ(queued, 2);
}

} // namespace
} // namespace vantorel::server

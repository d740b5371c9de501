// The score server over real HTTP on 127.0.0.1: the game's own request, the
// limits on what a client may send, the log line and the stop.
#include "server/score_http_server.hpp"

#include "http_test_client.hpp"
#include "score_format/score_report.hpp"
#include "served_service.hpp"
#include "server/sqlite_score_store.hpp"
#include "server_test_support.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::server {
namespace {

using test_support::TTempFolder;

class ScoreHttpServer : public ::testing::Test {
protected:
    test_support::THttpTestClient Client() { return {"127.0.0.1", served_.Port()}; }
    /// The log once it holds lines lines: a request is logged just after its
    /// answer is sent.
    std::vector<std::string> Log(size_t lines) { return served_.Log(lines); }

    test_support::TServedService served_{{}};
};

// The request exactly as the game sends it (its headers, no body), then the page.
TEST_F(ScoreHttpServer, TheGamesRequestIsStoredAndThePageShowsIt) {
    ASSERT_GT(served_.Port(), 0);
    const std::string code = EncodeScoreReport({"Ace", 4321, "_______"});
    test_support::THttpTestClient client = Client();
    const test_support::THeaders headers = {
        {"Accept", "text/html, */*"},
        {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
        {"Content-Type", "text/html"}};
    const auto report = client.Get("/cgi/version.pl?hs&prg=Vantorel&inf=" + code, headers);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->Status, 200);
    EXPECT_NE(report->Body.find("Score received"), std::string::npos);
    EXPECT_EQ(report->Header("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(served_.Store().Count(), 1);

    const auto page = client.Get("/cgi/version.pl?prg=Vantorel&show&type=0");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Status, 200);
    EXPECT_NE(page->Body.find("<td class=\"name\">Ace</td><td class=\"score\">4321</td>"),
              std::string::npos);
    EXPECT_NE(page->Header("Content-Security-Policy").find("default-src 'none'"),
              std::string::npos);

    const auto health = client.Get("/healthz");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->Status, 200);
    EXPECT_EQ(health->Body, "ok\n");

    // One line per request, the report's code cut short.
    const std::vector<std::string> log = Log(3);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_NE(log[0].find(" 127.0.0.1 GET /cgi/version.pl?hs&prg=Vantorel&inf=" +
                          code.substr(0, 12) + "...(" + std::to_string(code.size()) + ") 200 "),
              std::string::npos)
        << log[0];
    EXPECT_EQ(log[0].find(code), std::string::npos);
    EXPECT_TRUE(log[2].ends_with("us")) << log[2];
}

TEST_F(ScoreHttpServer, BodiesAndOverlongRequestsAreRefusedUnread) {
    test_support::THttpTestClient client = Client();
    const std::string code = EncodeScoreReport({"Ace", 1, ""});
    const auto posted = client.Request("POST", "/cgi/version.pl?hs&prg=Vantorel&inf=" + code,
                                       {{"Content-Type", "text/plain"}}, std::string(100'000, 'x'));
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->Status, 413);

    const auto longTarget = client.Get("/healthz?" + std::string(2000, 'a'));
    ASSERT_TRUE(longTarget);
    EXPECT_EQ(longTarget->Status, 414);

    const auto hugeTarget = client.Get("/healthz?" + std::string(20000, 'a'));
    if (hugeTarget) {
        EXPECT_GE(hugeTarget->Status, 400);
    }
    EXPECT_EQ(served_.Store().Count(), 0);
}

// Requests from several clients at once are all answered and all stored.
TEST_F(ScoreHttpServer, ConcurrentReportsAreAllStored) {
    constexpr int kClients = 4;
    constexpr int kEach = 10;
    std::vector<std::thread> clients;
    std::vector<int> ok(kClients, 0);
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            test_support::THttpTestClient client = Client();
            for (int i = 0; i < kEach; ++i) {
                const std::string code =
                    EncodeScoreReport({"C" + std::to_string(c) + "n" + std::to_string(i), i, ""});
                const auto answer = client.Get("/cgi/version.pl?hs&prg=Vantorel&inf=" + code);
                if (answer && answer->Status == 200)
                    ++ok[static_cast<size_t>(c)];
            }
        });
    }
    for (std::thread& client : clients)
        client.join();
    for (int c = 0; c < kClients; ++c)
        EXPECT_EQ(ok[static_cast<size_t>(c)], kEach) << c;
    EXPECT_EQ(served_.Store().Count(), kClients * kEach);
}

TEST(ScoreHttpServerStop, StopBeforeRunAndAnAddressInUse) {
    TTempFolder folder;
    TSqliteScoreStore store(folder.File("scores.sqlite").string());
    TScoreService service(store, 0);
    TScoreHttpServer first(service, {}, {});
    const int port = first.Bind("127.0.0.1", 0);
    TScoreHttpServer second(service, {}, {});
    EXPECT_THROW(second.Bind("127.0.0.1", port), std::runtime_error);
    first.Stop();
    first.Run(); // returns at once
}

} // namespace
} // namespace vantorel::server

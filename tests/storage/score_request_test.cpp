// The request that carries a score report to the world score server.
#include "storage/score_request.hpp"

#include "score_format/score_report.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vantorel {
namespace {

TEST(ScoreRequest, IsTheGetTheServerExpects) {
    struct Case {
        TScoreServer Server;
        std::string Start;
        std::string Host;
    };
    const Case cases[] = {
        {{"scores.example.org", 80},
         "http://scores.example.org/cgi/version.pl?hs&prg=Vantorel&inf=",
         "scores.example.org"},
        {{"127.0.0.1", 8080},
         "http://127.0.0.1:8080/cgi/version.pl?hs&prg=Vantorel&inf=",
         "127.0.0.1:8080"},
    };
    const TScoreReport report{"ABC", 1234, "_______"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Host);
        const THttpRequest request = BuildScoreRequest(c.Server, report);
        EXPECT_EQ(request.Url, c.Start + EncodeScoreReport(report));
        const std::vector<std::pair<std::string, std::string>> headers = {
            {"Host", c.Host},
            {"Accept", "text/html, */*"},
            {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
            {"Content-Type", "text/html"},
        };
        EXPECT_EQ(request.Headers, headers);
        EXPECT_EQ(request.ConnectTimeoutMs, 10000);
        EXPECT_EQ(request.TotalTimeoutMs, 20000);
        EXPECT_EQ(request.MaxBodyBytes, 64u * 1024u);
    }
}

} // namespace
} // namespace vantorel

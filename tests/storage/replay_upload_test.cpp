// The replay's upload request: where it goes, what it says it is, its bounds.
#include "storage/replay_upload.hpp"

#include "storage/score_request.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(ReplayUpload, PostsTheFileToTheServersReplayAddress) {
    struct TCase {
        TScoreServer Server;
        const char* Url;
        const char* Host;
    };
    for (const TCase& c :
         {TCase{{"scores.example.org", 80},
                "http://scores.example.org/api/v1/replays",
                "scores.example.org"},
          TCase{{"127.0.0.1", 8080}, "http://127.0.0.1:8080/api/v1/replays", "127.0.0.1:8080"}}) {
        const THttpPost post = BuildReplayUpload(c.Server, {1, 2, 0, 255});
        EXPECT_EQ(post.Request.Url, c.Url);
        EXPECT_EQ(post.Request.Headers.front(),
                  (std::pair<std::string, std::string>{"Host", c.Host}));
        EXPECT_EQ(post.ContentType, "application/octet-stream");
        EXPECT_EQ(post.Body, (std::vector<uint8_t>{1, 2, 0, 255}));
        // The report's bounds: the upload holds the window no longer than it.
        const THttpRequest report = BuildScoreRequest(c.Server, {"A", 1, ""});
        EXPECT_EQ(post.Request.ConnectTimeoutMs, report.ConnectTimeoutMs);
        EXPECT_EQ(post.Request.TotalTimeoutMs, report.TotalTimeoutMs);
        EXPECT_EQ(post.Request.MaxBodyBytes, report.MaxBodyBytes);
    }
}

} // namespace
} // namespace vantorel

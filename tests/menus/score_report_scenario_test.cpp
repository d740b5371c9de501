// Sending a result to the world table, through real frames: the request runs
// beside the frames, the "Sending results..." window stays until it ends, and
// the game then shows the high-score table, whatever the server did.
#include "platform/http_client.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

namespace vantorel {
namespace {

/// A server that answers only when the test lets it (or with no reply at all).
class THeldHttpClient final : public IHttpClient {
public:
    THttpResponse Get(const THttpRequest& request) override {
        std::unique_lock lock(mutex_);
        Url = request.Url;
        ++Calls;
        released_.wait(lock, [this] { return open_; });
        return Reply;
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        released_.notify_all();
    }
    int Calls = 0;
    std::string Url;
    THttpResponse Reply;

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool open_ = false;
};

struct ScoreReportScenario : ::testing::TestWithParam<THttpResponse> {};

TEST_P(ScoreReportScenario, FramesGoOnWhileSendingAndTheTableShowsAfter) {
    THeldHttpClient server;
    server.Reply = GetParam();
    testing::TScenario game(5, &server);
    TGameState& s = game.State();
    game.RunFrames(3);
    // A game just ended with a qualifying score; the name entry is open.
    s.Score = 987654;
    s.PlayerName = "ACE";
    game.Form->OpenWindow(TWindowKind::NameEntry);
    const int64_t at = game.Frames() + 1;
    game.Char(at, 13); // Enter commits the name
    game.Press(at + 3, TKey::Y);
    ASSERT_TRUE(game.RunUntil([&] { return s.WindowKind == TWindowKind::Sending; }, 20));
    EXPECT_EQ(s.HighScores[1].Name, "ACE");
    // The table was saved with the new name before anything was sent.
    EXPECT_TRUE(std::filesystem::exists(game.Folder / "Data/Save/hs"));

    // The server keeps quiet: the window stays and the frames go on.
    const int64_t before = game.Frames();
    EXPECT_EQ(game.RunFrames(90), 90);
    EXPECT_EQ(s.WindowKind, TWindowKind::Sending);
    EXPECT_GT(game.Frames(), before);
    EXPECT_EQ(server.Calls, 1);
    EXPECT_NE(server.Url.find("prg=Vantorel"), std::string::npos) << server.Url;

    server.Release();
    ASSERT_TRUE(game.RunUntil([&] { return s.WindowKind == TWindowKind::None; }, 600));
    EXPECT_EQ(s.ScreenCode, TScreenCode::HighScores);
    EXPECT_EQ(s.HighScores[1].Name, "ACE");
    EXPECT_EQ(server.Calls, 1);
}

THttpResponse Answer(bool ok, int32_t status) {
    THttpResponse r;
    r.Ok = ok;
    r.Status = status;
    return r;
}

INSTANTIATE_TEST_SUITE_P(Replies, ScoreReportScenario,
                         ::testing::Values(Answer(true, 200), Answer(true, 500), Answer(false, 0)),
                         [](const ::testing::TestParamInfo<THttpResponse>& p) {
                             return p.param.Ok ? "Status" + std::to_string(p.param.Status)
                                               : std::string("NoReply");
                         });

} // namespace
} // namespace vantorel

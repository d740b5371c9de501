// Sending a result to the world table, through real frames: the request runs
// beside the frames, the "Sending results..." window stays until it ends, and
// the game then shows the high-score table, whatever the server did.
#include "platform/http_client.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

namespace vantorel {
namespace {

/// A server that answers only when the test lets it (or with no reply at all).
class THeldHttpClient final : public IHttpClient {
public:
    THttpResponse Get(const THttpRequest& request) override {
        std::unique_lock lock(mutex_);
        url_ = request.Url;
        ++calls_;
        called_.notify_all();
        released_.wait(lock, [this] { return open_; });
        return Reply;
    }
    /// The replay upload after the report: answered at once.
    THttpResponse Post(const THttpPost&) override { return Reply; }
    /// The requests made so far, once the first has arrived or a few seconds
    /// have passed: the request runs on a thread of its own, which a busy
    /// machine may not have started yet.
    int CallsOnceArrived() {
        std::unique_lock lock(mutex_);
        called_.wait_for(lock, std::chrono::seconds(20), [this] { return calls_ > 0; });
        return calls_;
    }
    std::string Url() {
        std::lock_guard lock(mutex_);
        return url_;
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        released_.notify_all();
    }
    THttpResponse Reply;

private:
    std::mutex mutex_;
    std::condition_variable called_;
    std::condition_variable released_;
    int calls_ = 0;
    std::string url_;
    bool open_ = false;
};

/// Runs frames until done, letting the request's thread run between bursts of
/// frames: frames on the fake clock take no time, and on a loaded machine the
/// thread may not run at all during a burst.
bool RunUntilWithin(testing::TScenario& game, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (game.RunUntil(done, 10))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

struct ScoreReportScenario : ::testing::TestWithParam<THttpResponse> {};

TEST_P(ScoreReportScenario, FramesGoOnWhileSendingAndTheTableShowsAfter) {
    THeldHttpClient server;
    server.Reply = GetParam();
    testing::TScenario game(5, &server);
    TGameState& s = game.State();
    game.RunFrames(3);
    // A game just ended with a qualifying score; the name entry is open.
    s.Progress.Score = 987654;
    s.Progress.PlayerName = "ACE";
    game.Form->OpenWindow(TWindowKind::NameEntry);
    const int64_t at = game.Frames() + 1;
    game.Char(at, 13); // Enter commits the name
    game.Press(at + 3, TKey::Y);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::Sending; }, 20));
    EXPECT_EQ(s.Saved.HighScores[1].Name, "ACE");
    // The table was saved with the new name before anything was sent.
    EXPECT_TRUE(std::filesystem::exists(game.Folder / "Data/Save/hs"));

    // The server keeps quiet: the window stays and the frames go on.
    const int64_t before = game.Frames();
    EXPECT_EQ(game.RunFrames(90), 90);
    EXPECT_EQ(s.Cursor.WindowKind, TWindowKind::Sending);
    EXPECT_GT(game.Frames(), before);
    EXPECT_EQ(server.CallsOnceArrived(), 1);
    EXPECT_NE(server.Url().find("prg=Vantorel"), std::string::npos) << server.Url();

    server.Release();
    ASSERT_TRUE(RunUntilWithin(game, [&] { return s.Cursor.WindowKind == TWindowKind::None; }));
    EXPECT_EQ(s.Cursor.ScreenCode, TScreenCode::HighScores);
    EXPECT_EQ(s.Saved.HighScores[1].Name, "ACE");
    EXPECT_EQ(server.CallsOnceArrived(), 1);
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

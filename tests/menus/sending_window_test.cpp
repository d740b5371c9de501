// The "Sending results..." window: the score report, then the game's replay
// when there is one and the report was taken, both on the reporter's thread.
#include "menus/sending_window.hpp"

#include "menus/menu_screens.hpp"
#include "platform/http_client.hpp"
#include "platform/link_opener.hpp"
#include "support/fake_shell.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace vantorel {
namespace {

class SendingWindow : public ::testing::Test {
protected:
    /// Opens the window and runs its frames until the requests have ended.
    void Send() {
        TSendingWindow window(ctx, menus, http);
        window.Open();
        window.Tick(1); // the text only
        window.Tick(1); // the report starts
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!window.Reporter().Finished() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(window.Reporter().Finished());
        window.Close();
    }
    std::vector<std::string> Methods() const {
        std::vector<std::string> methods;
        for (const auto& call : http.Calls)
            methods.push_back(call.Method);
        return methods;
    }

    testing::TScenario game{5};
    TFakeShell shell{game.State()};
    TGameContext ctx{game.State(),
                     game.Form->MDXSpriteEngine,
                     game.Form->MDXImageList1,
                     game.Form->MDXImageList2,
                     shell,
                     shell};
    TRecordingLinkOpener links;
    TRecordingHttpClient http;
    TMenuScreens menus{ctx, game.Form->MenuItems, game.Form->Fixed, links, http};
};

TEST_F(SendingWindow, TheReplayFollowsATakenReport) {
    shell.Replay = {'V', 'A', 'N', 0, 0xFF, 7};
    http.Reply = {true, 200, "Score received"};
    Send();
    ASSERT_EQ(Methods(), (std::vector<std::string>{"GET", "POST"}));
    EXPECT_NE(http.Requests[0].Url.find("/cgi/version.pl?hs&prg=Vantorel&inf="), std::string::npos);
    EXPECT_TRUE(http.Requests[1].Url.starts_with("http://"));
    EXPECT_TRUE(http.Requests[1].Url.ends_with("/api/v1/replays"));
    EXPECT_EQ(http.Calls[1].ContentType, "application/octet-stream");
    EXPECT_EQ(http.Calls[1].Body, shell.Replay);
}

// No replay without a report the server took, and none when the game left no
// replay: the report alone, as ever.
TEST_F(SendingWindow, OnlyTheReportWhenItFailedOrThereIsNoReplay) {
    struct TCase {
        const char* What;
        std::vector<uint8_t> Replay;
        THttpResponse Reply;
    };
    const std::vector<TCase> cases = {
        {"refused report", {'V', 1}, {true, 500, ""}},
        {"no answer", {'V', 1}, {false, 0, ""}},
        {"no replay", {}, {true, 200, ""}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        http = {};
        shell.Replay = c.Replay;
        http.Reply = c.Reply;
        Send();
        EXPECT_EQ(Methods(), std::vector<std::string>{"GET"});
    }
}

} // namespace
} // namespace vantorel

// Sending the score report off the frame thread: the request as sent, and the
// reporter finishing within its bounds whatever the server does.
#include "storage/score_reporter.hpp"

#include "platform/curl_http_client.hpp"
#include "score_format/score_report.hpp"
#include "storage/score_request.hpp"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vantorel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

/// Polls the reporter as the frames would, until it finishes or the limit passes;
/// returns how long it took.
milliseconds PollUntilFinished(const TScoreReporter& reporter, milliseconds limit) {
    const auto start = Clock::now();
    while (!reporter.Finished() && Clock::now() - start < limit)
        std::this_thread::sleep_for(milliseconds(5));
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

const TScoreReport kReport{"ABC", 1234, "_______"};

TEST(ScoreReporter, SendsTheReportThroughTheClient) {
    struct Case {
        const char* What;
        THttpResponse Reply;
        TScoreReportState Outcome;
    };
    const Case cases[] = {
        {"accepted", {true, 200, "ok"}, TScoreReportState::Sent},
        {"error status", {true, 500, ""}, TScoreReportState::Failed},
        {"no reply", {false, 0, ""}, TScoreReportState::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TRecordingHttpClient client;
        client.Reply = c.Reply;
        TScoreReporter reporter;
        EXPECT_TRUE(reporter.Finished());
        const THttpRequest request = BuildScoreRequest({"scores.example.org", 80}, kReport);
        ASSERT_TRUE(reporter.Start(client, request));
        PollUntilFinished(reporter, milliseconds(2000));
        EXPECT_EQ(reporter.State(), c.Outcome);
        ASSERT_EQ(client.Requests.size(), 1u);
        EXPECT_EQ(client.Requests[0].Url, request.Url);
        EXPECT_EQ(client.Requests[0].Headers, request.Headers);
    }
}

// The replay goes after the report on the same thread, only when the report
// was taken; the state stays the report's.
TEST(ScoreReporter, TheUploadFollowsATakenReportOnly) {
    struct Case {
        const char* What;
        THttpResponse Reply;
        std::vector<std::string> Methods;
        TScoreReportState Outcome;
    };
    const Case cases[] = {
        {"taken", {true, 200, "ok"}, {"GET", "POST"}, TScoreReportState::Sent},
        {"refused", {true, 400, ""}, {"GET"}, TScoreReportState::Failed},
        {"no reply", {false, 0, ""}, {"GET"}, TScoreReportState::Failed},
    };
    const TScoreServer server{"scores.example.org", 80};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TRecordingHttpClient client;
        client.Reply = c.Reply;
        TScoreReporter reporter;
        THttpPost upload;
        upload.Request.Url = "http://scores.example.org/api/v1/replays";
        upload.ContentType = "application/octet-stream";
        upload.Body = {'V', 0, 9};
        ASSERT_TRUE(reporter.Start(client, BuildScoreRequest(server, kReport), upload));
        PollUntilFinished(reporter, milliseconds(2000));
        EXPECT_EQ(reporter.State(), c.Outcome);
        std::vector<std::string> methods;
        for (const auto& call : client.Calls)
            methods.push_back(call.Method);
        EXPECT_EQ(methods, c.Methods);
        if (methods.size() == 2) {
            EXPECT_EQ(client.Requests[1].Url, upload.Request.Url);
            EXPECT_EQ(client.Calls[1].Body, upload.Body);
        }
    }
}

/// A client that holds every request until the test lets it go.
class THeldHttpClient final : public IHttpClient {
public:
    THttpResponse Get(const THttpRequest&) override {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return release_; });
        return {true, 200, ""};
    }
    THttpResponse Post(const THttpPost&) override { return {true, 202, ""}; }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            release_ = true;
        }
        released_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;
};

TEST(ScoreReporter, NeverHoldsTheFrameAndSendsOneReportAtATime) {
    THeldHttpClient client;
    TScoreReporter reporter;
    const auto start = Clock::now();
    ASSERT_TRUE(reporter.Start(client, BuildScoreRequest({"h", 80}, kReport)));
    EXPECT_LT(Clock::now() - start, milliseconds(500));
    EXPECT_FALSE(reporter.Finished());
    EXPECT_EQ(reporter.State(), TScoreReportState::Sending);
    EXPECT_FALSE(reporter.Start(client, BuildScoreRequest({"h", 80}, kReport)));
    client.Release();
    PollUntilFinished(reporter, milliseconds(2000));
    EXPECT_EQ(reporter.State(), TScoreReportState::Sent);
    // Once finished, another report may go.
    EXPECT_TRUE(reporter.Start(client, BuildScoreRequest({"h", 80}, kReport)));
}

/// A one-connection HTTP server on 127.0.0.1 that behaves as told.
class TLocalServer {
public:
    enum class TMode { Answer200, Answer500, NeverAnswer, EndlessBody };

    explicit TLocalServer(TMode mode) : mode_(mode) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, 4) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "no local socket";
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TLocalServer() {
        stop_ = true;
        thread_.join();
        close(listener_);
    }
    uint16_t Port() const { return port_; }
    /// What the client sent up to the end of its headers.
    std::string Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    /// Waits for fd to become ready, in short steps so that stop_ is seen.
    bool WaitFor(int fd, short events) {
        pollfd p{fd, events, 0};
        while (!stop_) {
            if (poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }

    void Serve() {
        if (!WaitFor(listener_, POLLIN))
            return;
        const int client = accept(listener_, nullptr, nullptr);
        if (client < 0)
            return;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && WaitFor(client, POLLIN)) {
            const ssize_t n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, static_cast<size_t>(n));
        }
        {
            std::lock_guard lock(mutex_);
            received_ = request;
        }
        switch (mode_) {
        case TMode::Answer200:
            Send(client, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
            break;
        case TMode::Answer500:
            Send(client, "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n"
                         "Connection: close\r\n\r\n");
            break;
        case TMode::NeverAnswer:
            while (!stop_)
                std::this_thread::sleep_for(milliseconds(10));
            break;
        case TMode::EndlessBody: {
            Send(client, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            const std::string chunk(4096, 'x');
            while (!stop_ && WaitFor(client, POLLOUT)) {
                if (send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0)
                    break;
            }
            break;
        }
        }
        close(client);
    }

    void Send(int client, const std::string& text) {
        send(client, text.data(), text.size(), MSG_NOSIGNAL);
    }

    TMode mode_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::string received_;
};

/// A port on 127.0.0.1 where nothing listens.
uint16_t ClosedPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

/// The game's request to 127.0.0.1:port, with short bounds for the test.
THttpRequest ShortRequest(uint16_t port) {
    THttpRequest request = BuildScoreRequest({"127.0.0.1", port}, kReport);
    request.ConnectTimeoutMs = 500;
    request.TotalTimeoutMs = 800;
    return request;
}

TEST(ScoreReporterOverHttp, SendsExactlyTheGameHeaders) {
    TLocalServer server(TLocalServer::TMode::Answer200);
    TCurlHttpClient client;
    TScoreReporter reporter;
    reporter.Start(client, ShortRequest(server.Port()));
    PollUntilFinished(reporter, milliseconds(3000));
    EXPECT_EQ(reporter.State(), TScoreReportState::Sent);
    const std::string port = std::to_string(server.Port());
    const std::string expected =
        "GET /cgi/version.pl?hs&prg=Vantorel&inf=" + EncodeScoreReport(kReport) +
        " HTTP/1.1\r\n"
        "Host: 127.0.0.1:" +
        port +
        "\r\n"
        "Accept: text/html, */*\r\n"
        "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
        "Content-Type: text/html\r\n"
        "\r\n";
    EXPECT_EQ(server.Received(), expected);
}

TEST(ScoreReporterOverHttp, FinishesWithinItsBoundsWhateverTheServerDoes) {
    struct Case {
        const char* What;
        bool Listening;
        TLocalServer::TMode Mode;
        milliseconds AtLeast;
        milliseconds Below;
    };
    const Case cases[] = {
        {"connection refused", false, TLocalServer::TMode::Answer200, milliseconds(0),
         milliseconds(500)},
        {"error status", true, TLocalServer::TMode::Answer500, milliseconds(0), milliseconds(500)},
        {"never answers: the whole-request bound ends it", true, TLocalServer::TMode::NeverAnswer,
         milliseconds(700), milliseconds(2000)},
        {"endless body: cut after 64 KiB, before the time bound", true,
         TLocalServer::TMode::EndlessBody, milliseconds(0), milliseconds(700)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        std::optional<TLocalServer> server;
        if (c.Listening)
            server.emplace(c.Mode);
        TCurlHttpClient client;
        TScoreReporter reporter;
        const auto start = Clock::now();
        reporter.Start(client, ShortRequest(server ? server->Port() : ClosedPort()));
        EXPECT_LT(Clock::now() - start, milliseconds(200)) << "Start must not wait";
        const milliseconds took = PollUntilFinished(reporter, milliseconds(5000));
        EXPECT_TRUE(reporter.Finished());
        EXPECT_EQ(reporter.State(), TScoreReportState::Failed);
        EXPECT_GE(took, c.AtLeast);
        EXPECT_LT(took, c.Below);
    }
}

} // namespace
} // namespace vantorel

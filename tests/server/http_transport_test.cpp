// The HTTP transport against a real server on 127.0.0.1 and raw sockets: what a
// hostile or broken client sends, the framing of requests on one connection, the
// deadlines, the per-address cap, X-Forwarded-For and a log nobody reads.
#include "http_test_client.hpp"
#include "served_service.hpp"
#include "server/log_writer.hpp"
#include "server/request_log.hpp"
#include "server/score_http_server.hpp"
#include "server/server_metrics.hpp"
#include "server/sqlite_score_store.hpp"
#include "server_test_support.hpp"

#include "score_format/score_report.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::server {
namespace {

using namespace std::chrono_literals;
using test_support::THttpConnectionForTest;
using test_support::TServedService;
using test_support::TTempFolder;

THttpServerConfig ShortDeadlines() {
    THttpServerConfig config;
    config.Limits.HeaderSeconds = 1;
    config.Limits.KeepAliveSeconds = 1;
    config.Limits.Threads = 2;
    return config;
}

// ---- What the server refuses, each on a connection of its own ------------------

struct TRefusalCase {
    const char* Name;
    std::string Bytes;
    int Status;       ///< the answer, 0 when the connection closes without one
    const char* Note; ///< in the one log line of the refusal
};

/// size bytes of a replay-like body in chunks of 16 KiB, and the last chunk.
std::string ChunkedBody(size_t size) {
    std::string body;
    for (size_t sent = 0; sent < size; sent += 16384) {
        const size_t chunk = std::min<size_t>(16384, size - sent);
        char length[16];
        std::snprintf(length, sizeof length, "%zx\r\n", chunk);
        body += length + std::string(chunk, 'R') + "\r\n";
    }
    return body + "0\r\n\r\n";
}

std::vector<TRefusalCase> RefusalCases() {
    const std::string code = EncodeScoreReport({"Ace", 1, ""});
    const std::string report = "/cgi/version.pl?hs&prg=Vantorel&inf=" + code;
    std::string manyFields = "GET " + report + " HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 60; ++i)
        manyFields += "X-F" + std::to_string(i) + ": v\r\n";
    manyFields += "\r\n";
    // A proxy that ignores a GET's body passes this on as one request; a server
    // that reads the body as a second request would store a report.
    const std::string hidden = "GET " + report + " HTTP/1.1\r\nHost: x\r\n\r\n";
    return {
        {"HeaderLineOverTheLimit",
         "GET /healthz HTTP/1.1\r\nX-Long: " + std::string(9000, 'a') + "\r\n\r\n", 431,
         "request header over 8192 bytes"},
        {"LineThatNeverEnds", "GET /healthz HTTP/1.1\r\nX-Long: " + std::string(40000, 'a'), 431,
         "request header over 8192 bytes"},
        {"TooManyHeaderFields", manyFields, 431, "more than 50 header fields"},
        {"RequestLineWithoutVersion", "GET /healthz\r\n\r\n", 400, "malformed request"},
        {"ByteAbove0x7FInTarget", "GET /healthz\xC3\xA9 HTTP/1.1\r\nHost: x\r\n\r\n", 400,
         "outside printable ASCII"},
        {"NulInTarget", std::string("GET /health\0z HTTP/1.1\r\nHost: x\r\n\r\n", 36), 400, ""},
        {"GetWithBody",
         "GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(hidden.size()) +
             "\r\n\r\n" + hidden,
         400, "a GET with a body"},
        {"GetWithChunkedBody",
         "GET /healthz HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n" +
             std::to_string(hidden.size()) + "\r\n" + hidden + "\r\n0\r\n\r\n",
         400, "a GET with a body"},
        {"HeadWithBody", "HEAD /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc", 400,
         "a HEAD with a body"},
        {"TlsClientHello", std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11), 0,
         "TLS handshake"},
        // A replay over the limit is answered from its header alone: the test
        // sends no byte of the body.
        {"ReplayLongerThanTheLimit",
         "POST /api/v1/replays HTTP/1.1\r\nHost: x\r\nContent-Length: 262145\r\n\r\n", 413,
         "a request body over 262144 bytes"},
        {"ChunkedReplayLongerThanTheLimit",
         "POST /api/v1/replays HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n" +
             ChunkedBody(300 * 1024),
         413, "a request body over 262144 bytes"},
        {"BodyOnAnotherPath", "POST /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc",
         413, "a request body"},
    };
}

class HttpRefusal : public ::testing::TestWithParam<TRefusalCase> {};

TEST_P(HttpRefusal, AnsweredOnceLoggedWithThePeerAndNothingStored) {
    const TRefusalCase& c = GetParam();
    TServedService served(ShortDeadlines());
    THttpConnectionForTest connection("127.0.0.1", served.Port());
    ASSERT_TRUE(connection.Connected());
    ASSERT_TRUE(connection.Send(c.Bytes));
    if (c.Status != 0) {
        // The answer to a HEAD has no body, as ever.
        const auto answer = connection.ReadAnswer(c.Bytes.starts_with("HEAD"));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->Status, c.Status);
        EXPECT_EQ(answer->Header("Connection"), "close");
    }
    // No second answer (the body run as a request) and the connection ends.
    EXPECT_TRUE(connection.ClosedWithin(3000));
    const std::vector<std::string> log = served.Log(1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("Z 127.0.0.1 "), std::string::npos) << log[0];
    if (c.Status != 0) {
        EXPECT_NE(log[0].find(" " + std::to_string(c.Status) + " "), std::string::npos) << log[0];
    }
    EXPECT_NE(log[0].find(c.Note), std::string::npos) << log[0];
    EXPECT_EQ(served.Store().Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, HttpRefusal, ::testing::ValuesIn(RefusalCases()),
                         [](const auto& test) { return std::string(test.param.Name); });

// ---- Framing on one connection -------------------------------------------------

TEST(HttpTransport, HeadIsAnsweredLikeGetWithoutItsBody) {
    TServedService served(ShortDeadlines());
    THttpConnectionForTest connection("127.0.0.1", served.Port());
    ASSERT_TRUE(connection.Send("HEAD /healthz HTTP/1.1\r\nHost: x\r\n\r\n"
                                "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"));
    const auto head = connection.ReadAnswer(true);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->Status, 200);
    EXPECT_EQ(head->Header("Content-Length"), "3");
    // Had the HEAD's answer carried "ok\n", this would read it as a status line.
    const auto get = connection.ReadAnswer();
    ASSERT_TRUE(get);
    EXPECT_EQ(get->Status, 200);
    EXPECT_EQ(get->Body, "ok\n");
}

TEST(HttpTransport, PipelinedRequestsAreAnsweredInOrder) {
    TServedService served(ShortDeadlines());
    THttpConnectionForTest connection("127.0.0.1", served.Port());
    const std::string report =
        "/cgi/version.pl?hs&prg=Vantorel&inf=" + EncodeScoreReport({"Pip", 42, ""});
    ASSERT_TRUE(connection.Send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"
                                "GET " +
                                report +
                                " HTTP/1.1\r\nHost: x\r\n\r\n"
                                "GET /api/v1/scores?limit=5 HTTP/1.1\r\nHost: x\r\n\r\n"
                                "GET /nowhere HTTP/1.1\r\nHost: x\r\n\r\n"));
    const auto first = connection.ReadAnswer();
    const auto second = connection.ReadAnswer();
    const auto third = connection.ReadAnswer();
    const auto fourth = connection.ReadAnswer();
    ASSERT_TRUE(first && second && third && fourth);
    EXPECT_EQ(first->Body, "ok\n");
    EXPECT_NE(second->Body.find("Score received"), std::string::npos);
    EXPECT_NE(third->Body.find("\"Pip\""), std::string::npos) << third->Body;
    EXPECT_EQ(fourth->Status, 404);
    EXPECT_EQ(served.Store().Count(), 1);
}

// A request cut anywhere, also across the server's reads of 4 KiB, is one request.
TEST(HttpTransport, SplitRequestsAreParsedWhole) {
    TServedService served(ShortDeadlines());
    THttpConnectionForTest connection("127.0.0.1", served.Port());
    const std::string padded =
        "GET /healthz HTTP/1.1\r\nHost: x\r\nX-Pad: " + std::string(4070, 'p') + "\r\n\r\n";
    const std::string bytes = padded + "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n";
    for (const size_t cut : {size_t{5}, size_t{4090}, size_t{4096}, padded.size() + 7}) {
        ASSERT_TRUE(connection.Send(bytes.substr(0, cut)));
        std::this_thread::sleep_for(30ms);
        ASSERT_TRUE(connection.Send(bytes.substr(cut)));
        for (int i = 0; i < 2; ++i) {
            const auto answer = connection.ReadAnswer();
            ASSERT_TRUE(answer) << cut;
            EXPECT_EQ(answer->Status, 200) << cut;
            EXPECT_EQ(answer->Body, "ok\n") << cut;
        }
    }
}

// No Range support: the whole answer, never parts.
TEST(HttpTransport, RangeIsIgnored) {
    TServedService served(ShortDeadlines());
    test_support::THttpTestClient client("127.0.0.1", served.Port());
    std::string ranges = "bytes=0-0";
    for (int i = 1; i < 2700; ++i)
        ranges += "," + std::to_string(i) + "-" + std::to_string(i);
    const auto answer = client.Get("/healthz", {{"Range", ranges.substr(0, 7000)}});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->Status, 200);
    EXPECT_EQ(answer->Body, "ok\n");
}

// ---- Deadlines and caps --------------------------------------------------------

TEST(HttpTransport, TricklingAndSilentClientsAreClosedByTheHeaderDeadline) {
    TServedService served(ShortDeadlines());
    THttpConnectionForTest silent("127.0.0.1", served.Port());
    THttpConnectionForTest trickling("127.0.0.1", served.Port());
    const auto start = std::chrono::steady_clock::now();
    const std::string header = "GET /healthz HTTP/1.1\r\nX-Slow: ";
    bool closed = false;
    for (size_t i = 0; i < 40 && !closed; ++i) {
        trickling.Send(header.substr(i % header.size(), 1));
        closed = trickling.ClosedWithin(100);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(closed);
    EXPECT_LT(seconds, 3.0); // 1 s deadline, never pushed back by the bytes
    EXPECT_TRUE(silent.ClosedWithin(2000));
    // The silent one sent nothing to log; the trickling one is one line.
    const std::vector<std::string> log = served.Log(1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(" 408 "), std::string::npos) << log[0];
}

TEST(HttpTransport, ConnectionsPerAddressAreCapped) {
    THttpServerConfig config = ShortDeadlines();
    config.Limits.MaxConnectionsPerAddress = 2;
    TServedService served(config);
    THttpConnectionForTest first("127.0.0.1", served.Port());
    THttpConnectionForTest second("127.0.0.1", served.Port());
    THttpConnectionForTest third("127.0.0.1", served.Port());
    THttpConnectionForTest elsewhere("127.0.0.1", served.Port(), "127.0.0.2");
    EXPECT_TRUE(third.ClosedWithin(2000));
    for (THttpConnectionForTest* connection : {&first, &second, &elsewhere}) {
        ASSERT_TRUE(connection->Send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"));
        const auto answer = connection->ReadAnswer();
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->Status, 200);
    }
    const std::vector<std::string> log = served.Log(4);
    EXPECT_NE(log[0].find("127.0.0.1 - - 503 0us (too many connections from this address)"),
              std::string::npos)
        << log[0];
}

// Idle connections close at once; a request whose line has come (the parser has
// taken it out of the buffer already) gets the grace to finish, and a client that
// keeps trickling is closed when the grace ends.
TEST(HttpTransport, StopClosesIdleConnectionsAndGivesHalfSentRequestsAGrace) {
    THttpServerConfig config;
    config.Limits.HeaderSeconds = 30;
    config.Limits.KeepAliveSeconds = 30;
    config.Limits.StopGraceSeconds = 1;
    auto served = std::make_unique<TServedService>(config);
    THttpConnectionForTest idle("127.0.0.1", served->Port());
    THttpConnectionForTest kept("127.0.0.1", served->Port());
    THttpConnectionForTest half("127.0.0.1", served->Port());
    THttpConnectionForTest slow("127.0.0.1", served->Port());
    ASSERT_TRUE(kept.Send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"));
    ASSERT_TRUE(kept.ReadAnswer());
    ASSERT_TRUE(half.Send("GET /healthz HTTP/1.1\r\n"));
    ASSERT_TRUE(slow.Send("GET /healthz HTTP/1.1\r\nX-Slow: "));
    std::this_thread::sleep_for(100ms);
    const auto start = std::chrono::steady_clock::now();
    served->Server().Stop();
    EXPECT_TRUE(idle.ClosedWithin(500));
    EXPECT_TRUE(kept.ClosedWithin(500));
    ASSERT_TRUE(half.Send("Host: x\r\n\r\n"));
    const auto answer = half.ReadAnswer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->Status, 200);
    EXPECT_EQ(answer->Header("Connection"), "close");
    served->Runner().join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 3.0);
    EXPECT_TRUE(slow.ClosedWithin(100));
    served->Runner() = std::thread([] {});
}

// ---- The client's address ------------------------------------------------------

struct TForwardedCase {
    const char* Name;
    const char* From;      ///< the local address the request comes from
    const char* Forwarded; ///< X-Forwarded-For, nullptr for none
    const char* Client;    ///< the client logged
};

class HttpForwardedFor : public ::testing::TestWithParam<TForwardedCase> {};

TEST_P(HttpForwardedFor, OnlyATrustedProxyNamesTheClient) {
    const TForwardedCase& c = GetParam();
    THttpServerConfig config = ShortDeadlines();
    config.TrustedProxies = {"127.0.0.1", "::ffff:127.0.0.3"};
    config.JsonLog = true;
    TServedService served(config);
    THttpConnectionForTest connection("127.0.0.1", served.Port(), c.From);
    ASSERT_TRUE(connection.Connected());
    std::string request = "GET /healthz HTTP/1.1\r\nHost: x\r\n";
    if (c.Forwarded)
        request += std::string("X-Forwarded-For: ") + c.Forwarded + "\r\n";
    ASSERT_TRUE(connection.Send(request + "\r\n"));
    ASSERT_TRUE(connection.ReadAnswer());
    const std::vector<std::string> log = served.Log(1);
    ASSERT_EQ(log.size(), 1u);
    const auto line = nlohmann::json::parse(log[0]);
    EXPECT_EQ(line["client"], c.Client) << log[0];
    EXPECT_EQ(line.value("peer", line["client"].get<std::string>()), c.From) << log[0];
    EXPECT_EQ(line["method"], "GET");
    EXPECT_EQ(line["target"], "/healthz");
    EXPECT_EQ(line["status"], 200);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HttpForwardedFor,
    ::testing::Values(
        TForwardedCase{"TrustedProxyRightMostEntry", "127.0.0.1", "203.0.113.9, 198.51.100.7",
                       "198.51.100.7"},
        TForwardedCase{"TrustedHopsAreSkipped", "127.0.0.1", "203.0.113.9, 127.0.0.3",
                       "203.0.113.9"},
        TForwardedCase{"TwoFieldsAreOneList", "127.0.0.3", "198.51.100.7\r\nX-Forwarded-For: ::1",
                       "::1"},
        TForwardedCase{"NoHeaderFromAProxy", "127.0.0.1", nullptr, "127.0.0.1"},
        TForwardedCase{"GarbageStopsAtTheProxy", "127.0.0.1", "203.0.113.9, evil", "127.0.0.1"},
        TForwardedCase{"UntrustedPeerIsIgnored", "127.0.0.2", "203.0.113.9", "127.0.0.2"}),
    [](const auto& test) { return std::string(test.param.Name); });

// ---- A log nobody reads --------------------------------------------------------

/// A log sink that blocks until released (at the latest when it goes).
struct TBlockedSink {
    std::mutex Mutex;
    std::condition_variable Released;
    bool Open = false;
    std::vector<std::string> Written;

    ~TBlockedSink() { Release(); }
    void Write(const std::string& line) {
        std::unique_lock lock(Mutex);
        Released.wait(lock, [this] { return Open; });
        Written.push_back(line);
    }
    void Release() {
        {
            const std::lock_guard lock(Mutex);
            Open = true;
        }
        Released.notify_all();
    }
};

TEST(HttpTransport, ABlockedLogDropsAndCountsLinesButNeverHoldsARequest) {
    TBlockedSink sink;
    TServerMetrics metrics;
    {
        TLogWriter log([&sink](const std::string& line) { sink.Write(line); }, 4,
                       [&metrics](uint64_t lines) { metrics.CountDroppedLogLines(lines); },
                       [](uint64_t count) { return FormatDroppedLogLine(0, count, false); });
        THttpServerConfig config = ShortDeadlines();
        config.Metrics = &metrics;
        TServedService served(config, [&log](const std::string& line) { log.Push(line); });
        test_support::THttpTestClient client("127.0.0.1", served.Port(), 2000);
        for (int i = 0; i < 30; ++i) {
            const auto answer = client.Get("/healthz");
            ASSERT_TRUE(answer) << i;
            ASSERT_EQ(answer->Status, 200);
        }
        const auto exposed = client.Get("/metrics");
        ASSERT_TRUE(exposed);
        EXPECT_EQ(exposed->Header("Content-Type"), "text/plain; version=0.0.4; charset=utf-8");
        // One batch is stuck in the sink, four lines wait in the queue, the rest
        // of the 30 were dropped (and the line of /metrics itself, after its answer).
        const std::string counter = "\nvantorel_log_lines_dropped_total ";
        const size_t at = exposed->Body.find(counter);
        ASSERT_NE(at, std::string::npos) << exposed->Body;
        const uint64_t shown = std::stoull(exposed->Body.substr(at + counter.size()));
        EXPECT_GE(shown, 20u);
        EXPECT_LE(shown, log.Dropped());
        EXPECT_NE(exposed->Body.find("vantorel_open_connections 1\n"), std::string::npos);
        EXPECT_NE(exposed->Body.find("vantorel_request_duration_seconds_count 30\n"),
                  std::string::npos);
        sink.Release();
    }
    // Every one of the 31 lines was written or counted in the line that says so.
    const std::vector<std::string>& written = sink.Written;
    const auto note = std::find_if(written.begin(), written.end(), [](const std::string& line) {
        return line.find(" lines dropped while the log was not read") != std::string::npos;
    });
    ASSERT_NE(note, written.end());
    const uint64_t counted = std::stoull(note->substr(note->find("log: ") + 5));
    EXPECT_EQ(counted + written.size() - 1, 31u);
}

} // namespace
} // namespace vantorel::server

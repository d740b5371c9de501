// vantorel-scored as a program: its listening line, its exit codes and the
// graceful stop that answers the request in flight before the database closes.
#include "http_test_client.hpp"
#include "score_format/score_report.hpp"
#include "server/sqlite_score_store.hpp"
#include "server_test_support.hpp"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace vantorel::server {
namespace {

using test_support::TTempFolder;

const std::string kProgram = std::string(VANTOREL_BUILD_DIR) + "/server/vantorel-scored";

/// The program running with its standard output and error on pipes.
class TRunningServer {
public:
    explicit TRunningServer(std::vector<std::string> args) {
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            close(out[0]);
            close(out[1]);
            close(err[0]);
            close(err[1]);
            std::vector<char*> argv{const_cast<char*>(kProgram.c_str())};
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(kProgram.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~TRunningServer() {
        if (pid_ > 0 && !waited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0)
            close(out_);
        if (err_ >= 0)
            close(err_);
    }

    /// Its standard error to the end (call after Exit).
    std::string Error() {
        std::string text;
        char bytes[512];
        pollfd ready{err_, POLLIN, 0};
        ssize_t got = 0;
        while (poll(&ready, 1, 1000) == 1 && (got = read(err_, bytes, sizeof bytes)) > 0)
            text.append(bytes, static_cast<size_t>(got));
        return text;
    }

    /// The next line of its output, waiting at most 10 s.
    std::string Line() {
        std::string line;
        char c = 0;
        pollfd ready{out_, POLLIN, 0};
        while (poll(&ready, 1, 10000) == 1 && read(out_, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

    void Signal(int signal) { kill(pid_, signal); }

    /// Its exit status, waiting at most 10 s; -1 when it did not end.
    int Exit() {
        for (int i = 0; i < 1000; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                waited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    bool waited_ = false;
};

TEST(ScoredProgram, ListensAnswersAndStopsGracefullyOnSigterm) {
    TTempFolder folder;
    const std::string database = folder.File("scores.sqlite").string();
    TRunningServer server({"--listen", "127.0.0.1:0", "--database", database});
    const std::string listening = server.Line();
    ASSERT_TRUE(listening.starts_with("listening on 127.0.0.1:")) << listening;
    const int port = std::stoi(listening.substr(listening.rfind(':') + 1));
    ASSERT_GT(port, 0);

    test_support::THttpTestClient client("127.0.0.1", port);
    const auto report = client.Get("/cgi/version.pl?hs&prg=Vantorel&inf=" +
                                   EncodeScoreReport({"Ace", 777, "_______"}));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->Status, 200);
    EXPECT_NE(server.Line().find(" GET /cgi/version.pl?hs&prg=Vantorel&inf="), std::string::npos);

    // A request half sent when SIGTERM comes is still answered.
    const int sock = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string head = "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    ASSERT_EQ(write(sock, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    usleep(200000);
    server.Signal(SIGTERM);
    usleep(200000);
    ASSERT_EQ(write(sock, "\r\n", 2), 2);
    char answer[256] = {};
    pollfd ready{sock, POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 5000), 1);
    EXPECT_GT(read(sock, answer, sizeof answer - 1), 0);
    EXPECT_TRUE(std::string(answer).starts_with("HTTP/1.1 200")) << answer;
    close(sock);

    EXPECT_EQ(server.Exit(), 0);
    TSqliteScoreStore reopened(database);
    ASSERT_EQ(reopened.Count(), 1);
    EXPECT_EQ(reopened.Top(1).front().Name, "Ace");
}

TEST(ScoredProgram, BadOptionsAndAnUnopenableDatabaseEndWithAnError) {
    TTempFolder folder;
    TRunningServer badOption({"--port", "80"});
    EXPECT_EQ(badOption.Exit(), 2);
    TRunningServer badDatabase(
        {"--listen", "127.0.0.1:0", "--database", folder.File("none/x.sqlite").string()});
    EXPECT_EQ(badDatabase.Exit(), 1);
    TRunningServer help({"--help"});
    EXPECT_TRUE(help.Line().starts_with("usage: vantorel-scored"));
    EXPECT_EQ(help.Exit(), 0);
    TRunningServer version({"--version"});
    EXPECT_TRUE(version.Line().starts_with("vantorel-scored ")) << version.Line();
    EXPECT_EQ(version.Exit(), 0);
}

// Standard output nobody reads fills its pipe (64 KiB): requests are still
// answered, the lines that did not fit are counted, and SIGTERM still ends it.
TEST(ScoredProgram, AStandardOutputNobodyReadsHoldsNoRequest) {
    TTempFolder folder;
    TRunningServer server(
        {"--listen", "127.0.0.1:0", "--database", folder.File("scores.sqlite").string()});
    const std::string listening = server.Line();
    ASSERT_TRUE(listening.starts_with("listening on 127.0.0.1:")) << listening;
    const int port = std::stoi(listening.substr(listening.rfind(':') + 1));
    test_support::THttpTestClient client("127.0.0.1", port, 2000);
    const std::string path = "/healthz?" + std::string(200, 'x');
    for (int i = 0; i < 20000; ++i) {
        const auto answer = client.Get(path);
        ASSERT_TRUE(answer) << i;
        ASSERT_EQ(answer->Status, 200) << i;
    }
    const auto metrics = client.Get("/metrics");
    ASSERT_TRUE(metrics);
    EXPECT_EQ(metrics->Body.find("\nvantorel_log_lines_dropped_total 0\n"), std::string::npos)
        << metrics->Body;
    server.Signal(SIGTERM);
    EXPECT_EQ(server.Exit(), 0);
}

// A port taken by another server is no silent half-start: the second one says
// why and ends with an error.
TEST(ScoredProgram, APortInUseIsNamed) {
    TTempFolder folder;
    TRunningServer first(
        {"--listen", "127.0.0.1:0", "--database", folder.File("a.sqlite").string()});
    const std::string listening = first.Line();
    ASSERT_TRUE(listening.starts_with("listening on 127.0.0.1:")) << listening;
    const std::string port = listening.substr(listening.rfind(':') + 1);
    TRunningServer second(
        {"--listen", "127.0.0.1:" + port, "--database", folder.File("b.sqlite").string()});
    EXPECT_EQ(second.Exit(), 1);
    EXPECT_NE(
        second.Error().find("cannot listen on 127.0.0.1:" + port + ": address already in use"),
        std::string::npos)
        << second.Error();
    first.Signal(SIGTERM);
    EXPECT_EQ(first.Exit(), 0);
}

} // namespace
} // namespace vantorel::server

// A small blocking HTTP/1.1 client over POSIX sockets for the score server's
// tests and load client: one kept-alive connection, and raw bytes on request for
// what a well-behaved client never sends.
#pragma once

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantorel::server::test_support {

using THeaders = std::vector<std::pair<std::string, std::string>>;

struct THttpAnswer {
    int Status = 0;
    THeaders Headers; ///< names in lower case
    std::string Body;

    /// The first field of that name (any case), empty when there is none.
    std::string Header(std::string_view name) const {
        std::string lower(name);
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const auto& [key, value] : Headers)
            if (key == lower)
                return value;
        return {};
    }
};

/// One TCP connection, read with deadlines.
class THttpConnectionForTest {
public:
    /// Connects to host:port; bindAddress, when given, is the local address to
    /// send from (any 127.0.0.N for a test that needs many clients).
    THttpConnectionForTest(const std::string& host, int port, const std::string& bindAddress = {}) {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
            return;
        for (addrinfo* at = found; at && fd_ < 0; at = at->ai_next) {
            const int fd = socket(at->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (fd < 0)
                continue;
            const int yes = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            if (!bindAddress.empty()) {
                addrinfo* local = nullptr;
                if (getaddrinfo(bindAddress.c_str(), nullptr, &hints, &local) != 0 ||
                    bind(fd, local->ai_addr, local->ai_addrlen) != 0) {
                    if (local)
                        freeaddrinfo(local);
                    close(fd);
                    continue;
                }
                freeaddrinfo(local);
            }
            if (connect(fd, at->ai_addr, at->ai_addrlen) == 0)
                fd_ = fd;
            else
                close(fd);
        }
        freeaddrinfo(found);
    }
    ~THttpConnectionForTest() {
        if (fd_ >= 0)
            close(fd_);
    }
    THttpConnectionForTest(const THttpConnectionForTest&) = delete;
    THttpConnectionForTest& operator=(const THttpConnectionForTest&) = delete;

    bool Connected() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    bool Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            bytes.remove_prefix(static_cast<size_t>(sent));
        }
        return true;
    }

    /// One answer; for a HEAD request (head) no body is read whatever its
    /// Content-Length says. Nothing when the connection closes or the time runs
    /// out first.
    std::optional<THttpAnswer> ReadAnswer(bool head = false, int timeoutMs = 5000) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        size_t end = 0;
        while ((end = pending_.find("\r\n\r\n")) == std::string::npos)
            if (!Fill(deadline))
                return std::nullopt;
        THttpAnswer answer;
        const std::string head_text = pending_.substr(0, end + 2);
        pending_.erase(0, end + 4);
        size_t lineEnd = head_text.find("\r\n");
        const std::string statusLine = head_text.substr(0, lineEnd);
        if (!statusLine.starts_with("HTTP/1.") || statusLine.size() < 12)
            return std::nullopt;
        answer.Status = std::stoi(statusLine.substr(9, 3));
        for (size_t at = lineEnd + 2; at < head_text.size(); at = lineEnd + 2) {
            lineEnd = head_text.find("\r\n", at);
            const std::string line = head_text.substr(at, lineEnd - at);
            const size_t colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            std::string name = line.substr(0, colon);
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const size_t value = line.find_first_not_of(' ', colon + 1);
            answer.Headers.emplace_back(name, value == std::string::npos ? "" : line.substr(value));
        }
        if (head)
            return answer;
        const std::string length = answer.Header("content-length");
        if (length.empty()) { // to the end of the connection
            while (Fill(deadline)) {
            }
            answer.Body = std::move(pending_);
            pending_.clear();
            return answer;
        }
        const size_t size = std::stoul(length);
        while (pending_.size() < size)
            if (!Fill(deadline))
                return std::nullopt;
        answer.Body = pending_.substr(0, size);
        pending_.erase(0, size);
        return answer;
    }

    /// Whether the server closes the connection within timeoutMs (reading and
    /// throwing away whatever it still sends).
    bool ClosedWithin(int timeoutMs) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Fill(deadline))
            pending_.clear();
        return closed_;
    }

private:
    using Clock = std::chrono::steady_clock;

    /// Reads what arrives before deadline; false at the end of the connection or
    /// of the time.
    bool Fill(Clock::time_point deadline) {
        if (fd_ < 0 || closed_)
            return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready{fd_, POLLIN, 0};
        if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) != 1)
            return false;
        char bytes[16384];
        const ssize_t got = recv(fd_, bytes, sizeof bytes, 0);
        if (got <= 0) {
            closed_ = true;
            return false;
        }
        pending_.append(bytes, static_cast<size_t>(got));
        return true;
    }

    int fd_ = -1;
    bool closed_ = false;
    std::string pending_;
};

/// GET requests over one kept-alive connection, opened again when the server
/// closed it.
class THttpTestClient {
public:
    THttpTestClient(std::string host, int port, int timeoutMs = 5000)
        : host_(std::move(host)), port_(port), timeoutMs_(timeoutMs) {}

    /// Nothing when no answer came.
    std::optional<THttpAnswer> Get(const std::string& target, const THeaders& headers = {}) {
        return Request("GET", target, headers);
    }

    std::optional<THttpAnswer> Request(const std::string& method, const std::string& target,
                                       const THeaders& headers = {}, const std::string& body = {}) {
        std::string request = method + " " + target + " HTTP/1.1\r\nHost: " + host_ + "\r\n";
        for (const auto& [name, value] : headers)
            request += name + ": " + value + "\r\n";
        if (!body.empty())
            request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
        request += "\r\n" + body;
        // A kept connection the server has closed meanwhile fails at once: once more
        // on a new one.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const bool fresh = !connection_;
            if (!connection_)
                connection_.emplace(host_, port_);
            if (!connection_->Connected()) {
                connection_.reset();
                return std::nullopt;
            }
            std::optional<THttpAnswer> answer;
            if (connection_->Send(request))
                answer = connection_->ReadAnswer(method == "HEAD", timeoutMs_);
            if (answer) {
                if (answer->Header("connection") == "close")
                    connection_.reset();
                return answer;
            }
            connection_.reset();
            if (fresh)
                return std::nullopt;
        }
        return std::nullopt;
    }

private:
    std::string host_;
    int port_;
    int timeoutMs_;
    std::optional<THttpConnectionForTest> connection_;
};

} // namespace vantorel::server::test_support

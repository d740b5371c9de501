#include "server/score_http_server.hpp"

#include "server/http_connection.hpp"
#include "server/request_log.hpp"
#include "server/server_metrics.hpp"
#include "server/trusted_proxies.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <unordered_map>

namespace vantorel::server {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

int64_t UnixMsNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string HostPort(const std::string& host, int port) {
    const bool bracketed = host.find(':') != std::string::npos;
    return (bracketed ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string Reason(const boost::system::error_code& error) {
    std::string text = error.message();
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

} // namespace

struct TScoreHttpServer::TImpl {
    THttpServerConfig Config;
    TTrustedProxies Proxies;
    std::function<void(const std::string&)> LogLine;
    asio::io_context Loop{1};
    asio::thread_pool Workers;
    tcp::acceptor Acceptor{Loop};
    asio::steady_timer RetryTimer{Loop};
    asio::steady_timer HardStop{Loop};
    THttpConnectionHost Host;
    std::unordered_map<THttpConnection*, std::weak_ptr<THttpConnection>> Open;
    std::unordered_map<std::string, size_t> PerAddress;
    std::atomic<bool> StopAsked{false};

    TImpl(TScoreService& service, THttpServerConfig config,
          std::function<void(const std::string&)> log)
        : Config(std::move(config)), Proxies(Config.TrustedProxies), LogLine(std::move(log)),
          Workers(Config.Limits.Threads == 0 ? 1 : Config.Limits.Threads), Host{Loop,    Workers,
                                                                                service, Config,
                                                                                Proxies, {},
                                                                                {},      false} {
        Host.Log = [this](const TLogEntry& entry) { Log(entry); };
        Host.Closed = [this](THttpConnection& connection) { Closed(connection); };
    }

    void Log(const TLogEntry& entry) {
        if (LogLine)
            LogLine(Config.JsonLog ? FormatJsonLogLine(entry) : FormatLogLine(entry));
    }

    void Accept() {
        Acceptor.async_accept([this](boost::system::error_code error, tcp::socket socket) {
            if (Host.Stopping || !Acceptor.is_open())
                return;
            if (error) {
                // Out of descriptors, most likely: wait for some to close rather
                // than spin on the failing accept.
                RetryTimer.expires_after(std::chrono::milliseconds(50));
                RetryTimer.async_wait([this](boost::system::error_code timerError) {
                    if (!timerError)
                        Accept();
                });
                return;
            }
            Admit(std::move(socket));
            Accept();
        });
    }

    void Admit(tcp::socket socket) {
        boost::system::error_code error;
        const tcp::endpoint remote = socket.remote_endpoint(error);
        if (error)
            return;
        std::string peer = CanonicalAddress(remote.address().to_string());
        const THttpServerLimits& limits = Config.Limits;
        const char* refusal = nullptr;
        if (Open.size() >= limits.MaxConnections)
            refusal = "too many connections";
        else if (!Proxies.Contains(peer) && PerAddress[peer] >= limits.MaxConnectionsPerAddress)
            refusal = "too many connections from this address";
        if (refusal) {
            // Closed unanswered: an answer would have to wait for a slow reader.
            Log({UnixMsNow(), peer, peer, "-", "-", 503, 0, refusal});
            socket.close(error);
            return;
        }
        socket.set_option(tcp::no_delay(true), error);
        ++PerAddress[peer];
        auto connection = std::make_shared<THttpConnection>(Host, std::move(socket), peer);
        Open.emplace(connection.get(), connection);
        if (Config.Metrics)
            Config.Metrics->ConnectionOpened();
        connection->Start();
    }

    void Closed(THttpConnection& connection) {
        Open.erase(&connection);
        const auto count = PerAddress.find(connection.Peer());
        if (count != PerAddress.end() && --count->second == 0)
            PerAddress.erase(count);
        if (Config.Metrics)
            Config.Metrics->ConnectionClosed();
        if (Host.Stopping && Open.empty())
            HardStop.cancel();
    }

    void StopOnLoop() {
        if (Host.Stopping)
            return;
        Host.Stopping = true;
        boost::system::error_code ignored;
        Acceptor.close(ignored);
        RetryTimer.cancel();
        std::vector<std::shared_ptr<THttpConnection>> open;
        for (const auto& [raw, weak] : Open)
            if (auto connection = weak.lock())
                open.push_back(std::move(connection));
        for (const auto& connection : open)
            connection->Stop();
        if (Open.empty())
            return;
        // Whatever is still open then (a database that does not answer, a client
        // that does not read its answer) is left behind.
        HardStop.expires_after(std::chrono::seconds(Config.Limits.StopHardSeconds));
        HardStop.async_wait([this](boost::system::error_code error) {
            if (!error)
                Loop.stop();
        });
    }
};

TScoreHttpServer::TScoreHttpServer(TScoreService& service, THttpServerConfig config,
                                   std::function<void(const std::string&)> log)
    : impl_(std::make_unique<TImpl>(service, std::move(config), std::move(log))) {}

TScoreHttpServer::~TScoreHttpServer() {
    Stop();
    impl_->Workers.join();
}

int TScoreHttpServer::Bind(const std::string& host, int port) {
    const std::string where = HostPort(host, port);
    boost::system::error_code error;
    tcp::resolver resolver(impl_->Loop);
    const auto found = resolver.resolve(host, std::to_string(port), tcp::resolver::passive, error);
    if (error || found.empty())
        throw std::runtime_error("cannot listen on " + where + ": " +
                                 (error ? Reason(error) : "no such address"));
    const tcp::endpoint endpoint = found.begin()->endpoint();
    tcp::acceptor& acceptor = impl_->Acceptor;
    // SO_REUSEADDR only, never SO_REUSEPORT: a second server on the same port must
    // fail here rather than silently take half the reports.
    acceptor.open(endpoint.protocol(), error);
    if (!error)
        acceptor.set_option(tcp::acceptor::reuse_address(true), error);
    if (!error)
        acceptor.bind(endpoint, error);
    if (!error)
        acceptor.listen(asio::socket_base::max_listen_connections, error);
    if (!error)
        return acceptor.local_endpoint().port();
    boost::system::error_code ignored;
    acceptor.close(ignored);
    throw std::runtime_error("cannot listen on " + where + ": " + Reason(error));
}

void TScoreHttpServer::Run() {
    if (impl_->StopAsked)
        return;
    impl_->Accept();
    impl_->Loop.run();
    impl_->Workers.join();
}

void TScoreHttpServer::Stop() {
    impl_->StopAsked = true;
    asio::post(impl_->Loop, [impl = impl_.get()] { impl->StopOnLoop(); });
}

} // namespace vantorel::server

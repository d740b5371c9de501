// One client connection of the score server's HTTP transport: reads requests one
// after another under their deadlines, hands each to the score service on the
// worker pool and writes the answers back in order.
#pragma once

#include "server/http_server_config.hpp"
#include "server/score_service.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vantorel::server {

class THttpConnection;
class TTrustedProxies;
struct TLogEntry;

/// What a connection needs of the server that accepted it. The server owns it and
/// keeps it until every connection's work on the event loop has ended; everything
/// here is used on the event loop only, but for Service (on the worker pool).
struct THttpConnectionHost {
    boost::asio::io_context& Loop;
    boost::asio::thread_pool& Workers;
    TScoreService& Service;
    const THttpServerConfig& Config;
    const TTrustedProxies& Proxies;
    std::function<void(const TLogEntry&)> Log;
    /// Called once when a connection closes.
    std::function<void(THttpConnection&)> Closed;
    bool Stopping = false;
};

class THttpConnection : public std::enable_shared_from_this<THttpConnection> {
public:
    /// peer: the canonical address of the other end.
    THttpConnection(THttpConnectionHost& host, boost::asio::ip::tcp::socket socket,
                    std::string peer);
    THttpConnection(const THttpConnection&) = delete;
    THttpConnection& operator=(const THttpConnection&) = delete;

    const std::string& Peer() const { return peer_; }

    /// Reads the first request; its header deadline runs from now.
    void Start();

    /// The server stops: an idle connection closes at once, a half-read request
    /// gets StopGraceSeconds to arrive whole, a request being answered finishes.
    void Stop();

private:
    enum class EState { Idle, Header, Busy, Closed };
    using TClock = std::chrono::steady_clock;

    /// Whether some of the request being read has arrived.
    bool Started() const;
    void WaitForRequest();
    void ReadHeader();
    void OnHeader(boost::beast::error_code error);
    /// Reads the body of a request that takes one (after a 100 Continue when
    /// the client waits for it), within BodySeconds and MaxBodyBytes.
    void ReadBody(bool sendContinue);
    void OnBody(boost::beast::error_code error);
    void Dispatch();
    /// Answers and closes after the answer: a request the server will not serve.
    void Refuse(int status, std::string note);
    void Send(const TWebResponse& answer, bool keepAlive);
    void OnWritten(boost::beast::error_code error, const TWebResponse& answer);
    /// Closes after the answer: stops sending, then reads what the client still
    /// sends for a moment so that closing does not reset the answer away.
    void Linger();
    void Drain();
    void Close();
    void Log(int status, std::string note);

    THttpConnectionHost& host_;
    boost::beast::tcp_stream stream_;
    boost::asio::steady_timer stopTimer_;
    std::string peer_;
    boost::beast::flat_buffer buffer_;
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser_;
    std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> bodyParser_;
    boost::beast::http::response<boost::beast::http::empty_body> continue_;
    TWebRequest call_; ///< the request for the service, filled from the header (and body)
    boost::beast::http::response<boost::beast::http::string_body> response_;
    EState state_ = EState::Header;
    size_t served_ = 0;
    size_t lingered_ = 0;
    // The request being read or answered.
    TClock::time_point started_;
    int64_t startedUnixMs_ = 0;
    std::string client_;
    std::string method_ = "-";
    std::string target_ = "-";
    bool head_ = false;
    bool keepAlive_ = false;
};

} // namespace vantorel::server

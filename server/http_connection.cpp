#include "server/http_connection.hpp"

#include "server/http_request_check.hpp"
#include "server/request_log.hpp"
#include "server/server_metrics.hpp"
#include "server/trusted_proxies.hpp"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include <exception>

namespace vantorel::server {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

namespace {

constexpr const char* kText = "text/plain; charset=utf-8";
/// The largest buffer a connection holds: the header and what a client pipelines
/// behind it. A header line that never ends stops here.
constexpr size_t kBufferBytes = 16 * 1024;
/// How long a closing connection keeps reading what the client still sends, and
/// how much of it.
constexpr auto kLinger = std::chrono::seconds(1);
constexpr size_t kLingerBytes = 256 * 1024;

int64_t UnixMsNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

TWebResponse Plain(int status, std::string body, std::string note = {}) {
    return {status, kText, std::move(body), std::move(note), {}};
}

std::string Text(beast::string_view text) {
    return {text.data(), text.size()};
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

THttpConnection::THttpConnection(THttpConnectionHost& host, asio::ip::tcp::socket socket,
                                 std::string peer)
    : host_(host), stream_(std::move(socket)), stopTimer_(stream_.get_executor()),
      peer_(std::move(peer)), buffer_(kBufferBytes) {}

void THttpConnection::Start() {
    // The first request's header deadline runs from the accept: a connection
    // that sends nothing is closed as one that trickles.
    ReadHeader();
}

void THttpConnection::Stop() {
    if (state_ == EState::Idle || (state_ == EState::Header && !Started())) {
        Close();
    } else if (state_ == EState::Header) {
        stopTimer_.expires_after(std::chrono::seconds(host_.Config.Limits.StopGraceSeconds));
        stopTimer_.async_wait([self = shared_from_this()](beast::error_code error) {
            if (!error && self->state_ == EState::Header)
                self->Close();
        });
    }
    // Busy: OnWritten closes once the answer is out.
}

bool THttpConnection::Started() const {
    // The parser takes the request line (and fields) out of the buffer as each
    // arrives whole: either may hold the bytes of a half-read request.
    return buffer_.size() > 0 || (parser_ && parser_->got_some()) || bodyParser_.has_value();
}

void THttpConnection::WaitForRequest() {
    if (host_.Stopping) {
        Close();
        return;
    }
    if (buffer_.size() > 0) { // pipelined behind the last one
        ReadHeader();
        return;
    }
    state_ = EState::Idle;
    stream_.expires_after(std::chrono::seconds(host_.Config.Limits.KeepAliveSeconds));
    stream_.async_read_some(buffer_.prepare(2048),
                            [self = shared_from_this()](beast::error_code error, size_t bytes) {
                                self->buffer_.commit(bytes);
                                if (error || self->state_ == EState::Closed) {
                                    self->Close();
                                    return;
                                }
                                self->ReadHeader();
                            });
}

void THttpConnection::ReadHeader() {
    state_ = EState::Header;
    started_ = TClock::now();
    startedUnixMs_ = UnixMsNow();
    client_ = peer_;
    method_ = "-";
    target_ = "-";
    head_ = false;
    parser_.emplace();
    parser_->header_limit(static_cast<uint32_t>(host_.Config.Limits.MaxHeaderBytes));
    // The whole header within the deadline from its first byte: unlike an idle
    // time-out, a client sending a byte now and then does not push it back.
    stream_.expires_after(std::chrono::seconds(host_.Config.Limits.HeaderSeconds));
    http::async_read_header(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](beast::error_code error, size_t) { self->OnHeader(error); });
}

void THttpConnection::OnHeader(beast::error_code error) {
    if (state_ == EState::Closed)
        return;
    const bool partial = Started();
    if (error) {
        if (error == beast::error::timeout) {
            if (partial)
                Log(408, "request header not complete within " +
                             std::to_string(host_.Config.Limits.HeaderSeconds) + " s");
            Close();
        } else if (buffer_.size() > 0 &&
                   static_cast<const unsigned char*>(buffer_.data().data())[0] == 0x16) {
            Log(400, "a TLS handshake on the plain HTTP port");
            Close();
        } else if (error == http::error::header_limit || error == http::error::buffer_overflow) {
            Refuse(431, "request header over " +
                            std::to_string(host_.Config.Limits.MaxHeaderBytes) + " bytes");
        } else if (error == http::error::end_of_stream || error == asio::error::eof ||
                   error == asio::error::operation_aborted ||
                   error == asio::error::connection_reset) {
            if (partial && error != asio::error::operation_aborted)
                Log(400, "connection closed in the middle of a request");
            Close();
        } else {
            Refuse(400, "malformed request (" + error.message() + ")");
        }
        return;
    }
    const auto& request = parser_->get();
    method_ = Text(request.method_string());
    target_ = Text(request.target());
    head_ = request.method() == http::verb::head;
    keepAlive_ = parser_->keep_alive();
    const auto length = parser_->content_length();
    THttpRequestHead head;
    head.Method = method_;
    head.Target = target_;
    head.Fields = static_cast<size_t>(std::distance(request.begin(), request.end()));
    head.DeclaresBody = parser_->chunked() || (length && *length > 0) ||
                        request.find(http::field::transfer_encoding) != request.end();
    if (length)
        head.ContentLength = *length;
    if (const auto refusal = CheckRequestHead(head, host_.Config.Limits)) {
        Refuse(refusal->Status, refusal->Note);
        return;
    }
    std::string forwarded;
    for (auto [at, end] = request.equal_range("X-Forwarded-For"); at != end; ++at) {
        if (!forwarded.empty())
            forwarded += ',';
        forwarded += Text(at->value());
    }
    client_ = host_.Proxies.ClientOf(peer_, forwarded);
    call_ = {};
    call_.Method = method_;
    call_.Target = target_;
    call_.Address = client_;
    if (const auto match = request.find(http::field::if_none_match); match != request.end())
        call_.IfNoneMatch = Text(match->value());
    if (head.DeclaresBody) {
        const auto expect = request.find(http::field::expect);
        ReadBody(expect != request.end() && SameName(Text(expect->value()), "100-continue"));
        return;
    }
    Dispatch();
}

void THttpConnection::ReadBody(bool sendContinue) {
    const size_t limit = host_.Config.Limits.MaxBodyBytes;
    bodyParser_.emplace(std::move(*parser_));
    parser_.reset();
    bodyParser_->body_limit(limit);
    // The body's own deadline from the end of the header, like the header's:
    // a trickle does not push it back.
    stream_.expires_after(std::chrono::seconds(host_.Config.Limits.BodySeconds));
    const auto read = [self = shared_from_this()] {
        http::async_read(self->stream_, self->buffer_, *self->bodyParser_,
                         [self](beast::error_code error, size_t) { self->OnBody(error); });
    };
    if (!sendContinue) {
        read();
        return;
    }
    continue_ = {};
    continue_.version(11);
    continue_.result(http::status::continue_);
    http::async_write(stream_, continue_,
                      [self = shared_from_this(), read](beast::error_code error, size_t) {
                          if (error || self->state_ == EState::Closed) {
                              self->Close();
                              return;
                          }
                          read();
                      });
}

void THttpConnection::OnBody(beast::error_code error) {
    if (state_ == EState::Closed)
        return;
    if (error) {
        if (error == http::error::body_limit) {
            Refuse(413, "a request body over " + std::to_string(host_.Config.Limits.MaxBodyBytes) +
                            " bytes");
        } else if (error == beast::error::timeout) {
            Log(408, "request body not complete within " +
                         std::to_string(host_.Config.Limits.BodySeconds) + " s");
            Close();
        } else if (error == http::error::end_of_stream || error == asio::error::eof ||
                   error == asio::error::operation_aborted ||
                   error == asio::error::connection_reset ||
                   error == http::error::partial_message) {
            Log(400, "connection closed in the middle of a request body");
            Close();
        } else {
            Refuse(400, "malformed request body (" + error.message() + ")");
        }
        return;
    }
    call_.Body = std::move(bodyParser_->get().body());
    bodyParser_.reset();
    Dispatch();
}

void THttpConnection::Dispatch() {
    state_ = EState::Busy;
    ++served_;
    const bool keepAlive = keepAlive_ && served_ < host_.Config.Limits.KeepAliveRequests;
    TServerMetrics* metrics = host_.Config.Metrics;
    if (metrics && (target_ == "/metrics" || target_.starts_with("/metrics?")) &&
        (method_ == "GET" || head_)) {
        TWebResponse answer = Plain(200, metrics->Render());
        answer.ContentType = "text/plain; version=0.0.4; charset=utf-8";
        Send(answer, keepAlive);
        return;
    }
    TWebRequest call = std::move(call_);
    call_ = {};
    // The service may wait on the database: never on the event loop, which holds
    // every other connection. The work guard keeps the loop running meanwhile.
    asio::post(host_.Workers, [self = shared_from_this(), call = std::move(call), keepAlive,
                               work = asio::make_work_guard(host_.Loop)] {
        TWebResponse answer;
        try {
            answer = self->host_.Service.Handle(call);
        } catch (const std::exception& e) {
            answer = Plain(500, "internal error\n", e.what());
        }
        asio::post(self->host_.Loop, [self, answer = std::move(answer), keepAlive] {
            self->Send(answer, keepAlive);
        });
    });
}

void THttpConnection::Refuse(int status, std::string note) {
    state_ = EState::Busy;
    Send(Plain(status, note + "\n", note), false);
}

void THttpConnection::Send(const TWebResponse& answer, bool keepAlive) {
    if (state_ == EState::Closed)
        return;
    keepAlive = keepAlive && !host_.Stopping;
    response_ = {};
    response_.version(11);
    response_.result(static_cast<unsigned>(answer.Status));
    if (!answer.ContentType.empty())
        response_.set(http::field::content_type, answer.ContentType);
    // Headers every answer carries: the pages load nothing from elsewhere (the
    // world table's logo comes from this server).
    response_.set("X-Content-Type-Options", "nosniff");
    response_.set("Content-Security-Policy",
                  "default-src 'none'; style-src 'unsafe-inline'; img-src 'self'");
    bool cacheControl = false;
    for (const auto& [name, value] : answer.Headers) {
        cacheControl = cacheControl || SameName(name, "Cache-Control");
        response_.insert(name, value);
    }
    if (!cacheControl)
        response_.set(http::field::cache_control, "no-store");
    // HEAD: the GET's length, without its body.
    response_.content_length(answer.Body.size());
    if (!head_)
        response_.body() = answer.Body;
    response_.keep_alive(keepAlive);
    keepAlive_ = keepAlive;
    stream_.expires_after(std::chrono::seconds(host_.Config.Limits.WriteSeconds));
    auto written =
        std::make_shared<TWebResponse>(TWebResponse{answer.Status, {}, {}, answer.Note, {}});
    http::async_write(stream_, response_,
                      [self = shared_from_this(), written](beast::error_code error, size_t) {
                          self->OnWritten(error, *written);
                      });
}

void THttpConnection::OnWritten(beast::error_code error, const TWebResponse& answer) {
    Log(answer.Status, error ? answer.Note + (answer.Note.empty() ? "" : "; ") +
                                   "answer not sent: " + error.message()
                             : answer.Note);
    if (host_.Config.Metrics)
        host_.Config.Metrics->ObserveRequest(
            std::chrono::duration<double>(TClock::now() - started_).count());
    if (error) {
        Close();
    } else if (!keepAlive_ || host_.Stopping) {
        Linger();
    } else {
        WaitForRequest();
    }
}

void THttpConnection::Linger() {
    state_ = EState::Busy;
    beast::error_code ignored;
    stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    buffer_.consume(buffer_.size());
    lingered_ = 0;
    stream_.expires_after(kLinger);
    Drain();
}

void THttpConnection::Drain() {
    // Read into the buffer's free space and never commit it: the bytes are thrown away.
    stream_.async_read_some(
        buffer_.prepare(4096), [self = shared_from_this()](beast::error_code error, size_t bytes) {
            self->lingered_ += bytes;
            if (error || self->lingered_ > kLingerBytes || self->state_ == EState::Closed) {
                self->Close();
                return;
            }
            self->Drain();
        });
}

void THttpConnection::Close() {
    if (state_ == EState::Closed)
        return;
    state_ = EState::Closed;
    stopTimer_.cancel();
    beast::error_code ignored;
    stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    stream_.close();
    host_.Closed(*this);
}

void THttpConnection::Log(int status, std::string note) {
    if (!host_.Log)
        return;
    TLogEntry entry;
    entry.UnixMs = startedUnixMs_;
    entry.Address = client_;
    entry.Peer = peer_;
    entry.Method = method_;
    entry.Target = target_;
    entry.Status = status;
    entry.Micros =
        std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - started_).count();
    entry.Note = std::move(note);
    host_.Log(entry);
}

} // namespace vantorel::server

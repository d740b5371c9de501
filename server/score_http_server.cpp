#include "server/score_http_server.hpp"

#include "server/request_log.hpp"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace vantorel::server {

namespace {

/// When the request being handled on this thread arrived; set before routing.
thread_local std::chrono::steady_clock::time_point tlsStart;
thread_local int64_t tlsStartUnixMs = 0;
thread_local bool tlsStarted = false;

int64_t UnixMsNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

struct TScoreHttpServer::TImpl {
    TScoreService& Service;
    std::function<void(const std::string&)> Log;
    std::mutex LogMutex;
    httplib::Server Http;
    std::mutex RunMutex;
    bool Stopped = false;
    bool Entered = false;
    std::atomic<bool> Finished{false};

    TImpl(TScoreService& service, std::function<void(const std::string&)> log)
        : Service(service), Log(std::move(log)) {}

    void Handle(const httplib::Request& request, httplib::Response& response) {
        const TWebResponse answer =
            Service.Handle({request.method, request.target, request.remote_addr});
        response.status = answer.Status;
        response.set_content(answer.Body, answer.ContentType.c_str());
        noteOfThisThread = answer.Note;
    }

    void Write(const httplib::Request& request, const httplib::Response& response) {
        const auto now = std::chrono::steady_clock::now();
        const int64_t micros =
            tlsStarted
                ? std::chrono::duration_cast<std::chrono::microseconds>(now - tlsStart).count()
                : 0;
        const std::string line = FormatLogLine(tlsStarted ? tlsStartUnixMs : UnixMsNow(),
                                               request.remote_addr, request.method, request.target,
                                               response.status, micros, noteOfThisThread);
        tlsStarted = false;
        noteOfThisThread.clear();
        if (Log) {
            const std::lock_guard lock(LogMutex);
            Log(line);
        }
    }

    static thread_local std::string noteOfThisThread;
};

thread_local std::string TScoreHttpServer::TImpl::noteOfThisThread;

TScoreHttpServer::TScoreHttpServer(TScoreService& service, THttpServerLimits limits,
                                   std::function<void(const std::string&)> log)
    : impl_(std::make_unique<TImpl>(service, std::move(log))) {
    httplib::Server& http = impl_->Http;
    const size_t threads = limits.Threads == 0 ? 1 : limits.Threads;
    http.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    // No request here carries a body: any body is refused (413) unread.
    http.set_payload_max_length(0);
    http.set_read_timeout(limits.ReadTimeoutSeconds, 0);
    http.set_write_timeout(limits.WriteTimeoutSeconds, 0);
    http.set_keep_alive_timeout(limits.KeepAliveSeconds);
    http.set_keep_alive_max_count(limits.KeepAliveRequests);
    http.set_tcp_nodelay(true);
    // SO_REUSEADDR only: httplib's default also sets SO_REUSEPORT, which lets a
    // second server start on the same port and silently take half the reports.
    http.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    http.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        tlsStart = std::chrono::steady_clock::now();
        tlsStartUnixMs = UnixMsNow();
        tlsStarted = true;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    TImpl* impl = impl_.get();
    const auto handler = [impl](const httplib::Request& request, httplib::Response& response) {
        impl->Handle(request, response);
    };
    const std::string any = ".*";
    http.Get(any, handler);
    http.Post(any, handler);
    http.Put(any, handler);
    http.Patch(any, handler);
    http.Delete(any, handler);
    http.Options(any, handler);
    http.set_logger([impl](const httplib::Request& request, const httplib::Response& response) {
        impl->Write(request, response);
    });
    http.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            response.status = 500;
            response.set_content("internal error\n", "text/plain; charset=utf-8");
        });
    // Headers every answer carries: the pages load nothing from elsewhere.
    http.set_default_headers(
        {{"X-Content-Type-Options", "nosniff"},
         {"Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'"},
         {"Cache-Control", "no-store"}});
}

TScoreHttpServer::~TScoreHttpServer() {
    Stop();
}

int TScoreHttpServer::Bind(const std::string& host, int port) {
    httplib::Server& http = impl_->Http;
    if (port == 0) {
        const int bound = http.bind_to_any_port(host);
        if (bound <= 0)
            throw std::runtime_error("cannot listen on " + host + ":0");
        return bound;
    }
    if (!http.bind_to_port(host, port))
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
    return port;
}

void TScoreHttpServer::Run() {
    {
        const std::lock_guard lock(impl_->RunMutex);
        if (impl_->Stopped)
            return;
        impl_->Entered = true;
    }
    impl_->Http.listen_after_bind();
    impl_->Finished = true;
}

void TScoreHttpServer::Stop() {
    {
        const std::lock_guard lock(impl_->RunMutex);
        impl_->Stopped = true;
        if (!impl_->Entered)
            return;
    }
    // Run may be between its check and the listening loop: httplib's stop only
    // ends a loop that is running.
    while (!impl_->Finished && !impl_->Http.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    impl_->Http.stop();
}

} // namespace vantorel::server

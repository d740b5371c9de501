// One HTTP GET, for the score report.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vantorel {

struct THttpRequest {
    std::string Url;
    /// Header lines as (name, value), sent as given and in this order.
    std::vector<std::pair<std::string, std::string>> Headers;
    /// Bounds: connecting, the whole request, and the reply body kept.
    int32_t ConnectTimeoutMs = 10000;
    int32_t TotalTimeoutMs = 20000;
    size_t MaxBodyBytes = 64 * 1024;
};

struct THttpResponse {
    /// False when no reply came (no connection, time-out, reply too long).
    bool Ok = false;
    int32_t Status = 0;
    std::string Body;
};

class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    /// Sends the request and waits for the reply, within the request's bounds.
    /// Safe to call from a thread other than the game's.
    virtual THttpResponse Get(const THttpRequest& request) = 0;
};

/// The headless form: sends nothing, keeps the requests, answers with Reply.
class TRecordingHttpClient final : public IHttpClient {
public:
    THttpResponse Get(const THttpRequest& request) override {
        Requests.push_back(request);
        return Reply;
    }
    std::vector<THttpRequest> Requests;
    THttpResponse Reply;
};

} // namespace vantorel

// HTTP for the world table: a GET for the score report, a POST for the game's
// replay sent after it.
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

/// A POST: the request (its address, header lines and bounds, as for a GET),
/// then the body and its Content-Type.
struct THttpPost {
    THttpRequest Request;
    std::string ContentType;
    std::vector<uint8_t> Body;
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
    /// Sends the body with a POST, within the same bounds as Get, and waits for
    /// the reply. Safe to call from a thread other than the game's.
    virtual THttpResponse Post(const THttpPost& post) = 0;
};

/// The headless form: sends nothing, keeps the requests, answers with Reply.
class TRecordingHttpClient final : public IHttpClient {
public:
    /// One request as it was made: "GET" or "POST", and a POST's body.
    struct TCall {
        std::string Method;
        std::string ContentType;
        std::vector<uint8_t> Body;
    };

    THttpResponse Get(const THttpRequest& request) override {
        Requests.push_back(request);
        Calls.push_back({"GET", {}, {}});
        return Reply;
    }
    THttpResponse Post(const THttpPost& post) override {
        Requests.push_back(post.Request);
        Calls.push_back({"POST", post.ContentType, post.Body});
        return Reply;
    }
    /// Every request, GET or POST, in the order made; Calls says which each was.
    std::vector<THttpRequest> Requests;
    std::vector<TCall> Calls;
    THttpResponse Reply;
};

} // namespace vantorel

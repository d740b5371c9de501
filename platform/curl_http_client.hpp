// HTTP through libcurl.
#pragma once

#include "platform/http_client.hpp"

namespace vantorel {

/// Each request uses its own easy handle, so requests may run on worker threads.
/// No proxy is used and cookies are kept for the request. A GET gets no
/// Content-Length or Expect header added; a POST carries its Content-Length and
/// Content-Type, and no "Expect: 100-continue" (the body goes at once).
class TCurlHttpClient final : public IHttpClient {
public:
    TCurlHttpClient();
    ~TCurlHttpClient() override;
    TCurlHttpClient(const TCurlHttpClient&) = delete;
    TCurlHttpClient& operator=(const TCurlHttpClient&) = delete;

    THttpResponse Get(const THttpRequest& request) override;
    THttpResponse Post(const THttpPost& post) override;

private:
    /// Get and Post alike; post is null for a GET.
    THttpResponse Perform(const THttpRequest& request, const THttpPost* post);
};

} // namespace vantorel

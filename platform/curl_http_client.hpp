// HTTP through libcurl.
#pragma once

#include "platform/http_client.hpp"

namespace vantorel {

/// Each Get uses its own easy handle, so requests may run on worker threads. No
/// proxy is used, cookies are kept for the request, and no Content-Length or
/// Expect header is added.
class TCurlHttpClient final : public IHttpClient {
public:
    TCurlHttpClient();
    ~TCurlHttpClient() override;
    TCurlHttpClient(const TCurlHttpClient&) = delete;
    TCurlHttpClient& operator=(const TCurlHttpClient&) = delete;

    THttpResponse Get(const THttpRequest& request) override;
};

} // namespace vantorel

#include "platform/curl_http_client.hpp"

#include <curl/curl.h>

#include <memory>

namespace vantorel {

namespace {

struct TBody {
    std::string Text;
    size_t Max = 0;
    bool TooLong = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* body = static_cast<TBody*>(user);
    const size_t n = size * count;
    if (body->Text.size() + n > body->Max) {
        body->TooLong = true;
        return 0; // ends the transfer
    }
    body->Text.append(data, n);
    return n;
}

} // namespace

TCurlHttpClient::TCurlHttpClient() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

TCurlHttpClient::~TCurlHttpClient() {
    curl_global_cleanup();
}

THttpResponse TCurlHttpClient::Get(const THttpRequest& request) {
    return Perform(request, nullptr);
}

THttpResponse TCurlHttpClient::Post(const THttpPost& post) {
    return Perform(post.Request, &post);
}

THttpResponse TCurlHttpClient::Perform(const THttpRequest& request, const THttpPost* post) {
    THttpResponse response;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        return response;
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.Headers)
        headers = curl_slist_append(headers, (name + ": " + value).c_str());
    if (post) {
        headers = curl_slist_append(headers, ("Content-Type: " + post->ContentType).c_str());
        // An empty value drops curl's own "Expect: 100-continue".
        headers = curl_slist_append(headers, "Expect:");
    }
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headerList(headers,
                                                                           curl_slist_free_all);
    TBody body;
    body.Max = request.MaxBodyBytes;
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, request.Url.c_str());
    if (post) {
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        // Never null: a null body would have curl read one from standard input.
        static const char kNothing[] = "";
        curl_easy_setopt(h, CURLOPT_POSTFIELDS,
                         post->Body.empty() ? static_cast<const void*>(kNothing)
                                            : static_cast<const void*>(post->Body.data()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(post->Body.size()));
    } else {
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    }
    // Only web addresses, and no redirects: the address is the game's own.
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(h, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.ConnectTimeoutMs));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(request.TotalTimeoutMs));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
    const CURLcode rc = curl_easy_perform(h);
    if (rc != CURLE_OK || body.TooLong)
        return response;
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    response.Ok = true;
    response.Status = static_cast<int32_t>(status);
    response.Body = std::move(body.Text);
    return response;
}

} // namespace vantorel

#include "server/http_request_check.hpp"

namespace vantorel::server {

std::optional<THttpRefusal> CheckRequestHead(const THttpRequestHead& head,
                                             const THttpServerLimits& limits) {
    if (head.Fields > limits.MaxHeaderFields)
        return THttpRefusal{431, "more than " + std::to_string(limits.MaxHeaderFields) +
                                     " header fields"};
    for (const char c : head.Target) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F)
            return THttpRefusal{400, "a byte outside printable ASCII in the target"};
    }
    if (head.DeclaresBody) {
        if (head.Method == "GET" || head.Method == "HEAD")
            return THttpRefusal{400, "a " + std::string(head.Method) + " with a body"};
        return THttpRefusal{413, "a request body"};
    }
    return std::nullopt;
}

} // namespace vantorel::server

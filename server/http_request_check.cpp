#include "server/http_request_check.hpp"

#include "server/score_service.hpp"

namespace vantorel::server {

bool TakesBody(const THttpRequestHead& head) {
    return head.Method == "POST" && head.Target.substr(0, head.Target.find('?')) == kReplaysPath;
}

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
        if (!TakesBody(head))
            return THttpRefusal{413, "a request body"};
        if (head.ContentLength && *head.ContentLength > limits.MaxBodyBytes)
            return THttpRefusal{413, "a request body over " + std::to_string(limits.MaxBodyBytes) +
                                         " bytes"};
    }
    return std::nullopt;
}

} // namespace vantorel::server

// The checks on a request's head that the HTTP parser leaves to the server.
#pragma once

#include "server/http_server_config.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel::server {

/// Why a request is refused before the service sees it.
struct THttpRefusal {
    int Status = 400;
    std::string Note;
};

/// What the server knows of a request once its header is read.
struct THttpRequestHead {
    std::string_view Method;
    std::string_view Target;
    size_t Fields = 0;         ///< header fields
    bool DeclaresBody = false; ///< Content-Length above 0 or any Transfer-Encoding
    /// The declared Content-Length, when there is one.
    std::optional<uint64_t> ContentLength;
};

/// True for the one request that carries a body: POST of a replay
/// (/api/v1/replays, with or without a query).
bool TakesBody(const THttpRequestHead& head);

/// Nothing when the request may go to the service. Refused: more than
/// MaxHeaderFields fields (431); a target with a byte outside printable ASCII
/// (400: control bytes, NUL, bytes above 0x7E); a GET or HEAD that declares a body
/// (400: behind a proxy that reads it differently the body would be a second,
/// hidden request); a request that TakesBody with a Content-Length over
/// MaxBodyBytes (413, before a byte of it is read); any other request with a
/// body (413: nothing else here takes one).
std::optional<THttpRefusal> CheckRequestHead(const THttpRequestHead& head,
                                             const THttpServerLimits& limits);

} // namespace vantorel::server

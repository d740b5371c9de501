// The one line the server logs per request.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantorel::server {

/// The target as logged: a report's code (inf=...) cut to its first 12
/// characters and its length, so the log keeps what identifies a request
/// without filling up with codes; control characters as "?".
std::string LogTarget(std::string_view target);

/// "2026-12-10T04:00:00.123Z 127.0.0.1 GET /healthz 200 154us" and, when note is
/// not empty, " (note)". unixMs is the time the request arrived.
std::string FormatLogLine(int64_t unixMs, std::string_view address, std::string_view method,
                          std::string_view target, int status, int64_t micros,
                          std::string_view note);

} // namespace vantorel::server

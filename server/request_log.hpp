// The one line the server logs per request (or per refused connection), as text
// or as a JSON object.
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

/// One logged request. Method and Target are "-" when the request was refused
/// before its request line could be read.
struct TLogEntry {
    int64_t UnixMs = 0;  ///< when the request (or connection) arrived
    std::string Address; ///< the client, as the rate limit knows it
    std::string Peer;    ///< the connection's peer: the proxy when there is one
    std::string Method;
    std::string Target;
    int Status = 0;
    int64_t Micros = 0; ///< from arrival to the answer sent
    std::string Note;
};

/// The text line of FormatLogLine above.
std::string FormatLogLine(const TLogEntry& entry);

/// One JSON object on one line: time, client, peer (only when it differs from the
/// client), method, target (as LogTarget), status, micros and note (when not empty).
std::string FormatJsonLogLine(const TLogEntry& entry);

/// The line written when the log is written again after count lines were dropped:
/// "2026-12-10T04:00:00.123Z log: 12 lines dropped while the log was not read", or
/// {"time":...,"dropped_log_lines":12}.
std::string FormatDroppedLogLine(int64_t unixMs, uint64_t count, bool json);

} // namespace vantorel::server

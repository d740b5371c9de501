#include "server/request_log.hpp"

#include "server/web_text.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

namespace vantorel::server {

namespace {

constexpr size_t kShownCode = 12;

std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F)
            c = '?';
    }
    return out;
}

/// "2026-12-10T04:00:00.123Z"
std::string LogTime(int64_t unixMs) {
    const int64_t seconds = unixMs >= 0 ? unixMs / 1000 : (unixMs - 999) / 1000;
    const std::string when = UtcDateTime(seconds);
    char millis[8];
    std::snprintf(millis, sizeof millis, ".%03d", static_cast<int>(unixMs - seconds * 1000));
    return when.substr(0, when.size() - 1) + millis + "Z";
}

} // namespace

std::string LogTarget(std::string_view target) {
    std::string out;
    size_t at = 0;
    for (;;) {
        size_t found = target.find("inf=", at);
        while (found != std::string_view::npos && found > 0 && target[found - 1] != '&' &&
               target[found - 1] != '?')
            found = target.find("inf=", found + 1);
        if (found == std::string_view::npos) {
            out += target.substr(at);
            break;
        }
        const size_t valueAt = found + 4;
        const size_t end = std::min(target.find('&', valueAt), target.size());
        const size_t length = end - valueAt;
        out += target.substr(at, valueAt - at);
        out += target.substr(valueAt, std::min(length, kShownCode));
        if (length > kShownCode)
            out += "...(" + std::to_string(length) + ")";
        at = end;
    }
    return Printable(out);
}

std::string FormatLogLine(int64_t unixMs, std::string_view address, std::string_view method,
                          std::string_view target, int status, int64_t micros,
                          std::string_view note) {
    const int64_t seconds = unixMs >= 0 ? unixMs / 1000 : (unixMs - 999) / 1000;
    const std::string when = UtcDateTime(seconds);
    char millis[8];
    std::snprintf(millis, sizeof millis, ".%03d", static_cast<int>(unixMs - seconds * 1000));
    std::string line = when.substr(0, when.size() - 1) + millis + "Z " + Printable(address) + " " +
                       Printable(method) + " " + LogTarget(target) + " " + std::to_string(status) +
                       " " + std::to_string(micros) + "us";
    if (!note.empty())
        line += " (" + Printable(note) + ")";
    return line;
}

std::string FormatLogLine(const TLogEntry& entry) {
    return FormatLogLine(entry.UnixMs, entry.Address, entry.Method, entry.Target, entry.Status,
                         entry.Micros, entry.Note);
}

std::string FormatJsonLogLine(const TLogEntry& entry) {
    nlohmann::ordered_json line;
    line["time"] = LogTime(entry.UnixMs);
    line["client"] = Printable(entry.Address);
    if (!entry.Peer.empty() && entry.Peer != entry.Address)
        line["peer"] = Printable(entry.Peer);
    line["method"] = Printable(entry.Method);
    line["target"] = LogTarget(entry.Target);
    line["status"] = entry.Status;
    line["micros"] = entry.Micros;
    if (!entry.Note.empty())
        line["note"] = Printable(entry.Note);
    return line.dump();
}

std::string FormatDroppedLogLine(int64_t unixMs, uint64_t count, bool json) {
    if (!json)
        return LogTime(unixMs) + " log: " + std::to_string(count) +
               " lines dropped while the log was not read";
    nlohmann::ordered_json line;
    line["time"] = LogTime(unixMs);
    line["dropped_log_lines"] = count;
    return line.dump();
}

} // namespace vantorel::server

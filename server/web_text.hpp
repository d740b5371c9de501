// Writing the game's texts into the world table's page, and the dates of the
// page, the JSON and the log. Stored texts are the game's single-byte
// Windows-1252 text; the page is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantorel::server {

/// Windows-1252 text as UTF-8 HTML text: & < > " ' escaped, control characters
/// other than tab written as U+FFFD, safe in element content and in quoted
/// attribute values.
std::string HtmlText(std::string_view cp1252);

/// "YYYY-MM-DD" of a time in seconds since 1970-01-01 UTC.
std::string UtcDate(int64_t seconds);

/// "YYYY-MM-DDTHH:MM:SSZ" of a time in seconds since 1970-01-01 UTC.
std::string UtcDateTime(int64_t seconds);

} // namespace vantorel::server

// Writing the game's texts into the world table's page and JSON. Stored texts
// are the game's single-byte Windows-1252 text; the page and the JSON are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantorel::server {

/// Windows-1252 text as UTF-8 HTML text: & < > " ' escaped, control characters
/// other than tab written as U+FFFD, safe in element content and in quoted
/// attribute values.
std::string HtmlText(std::string_view cp1252);

/// Windows-1252 text as the inside of a JSON string (without the quotes): " \ and
/// every control character escaped, < > & as \u003c \u003e \u0026 so the JSON
/// can sit inside a page's script too.
std::string JsonText(std::string_view cp1252);

/// "YYYY-MM-DD" of a time in seconds since 1970-01-01 UTC.
std::string UtcDate(int64_t seconds);

/// "YYYY-MM-DDTHH:MM:SSZ" of a time in seconds since 1970-01-01 UTC.
std::string UtcDateTime(int64_t seconds);

} // namespace vantorel::server

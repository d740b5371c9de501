#include "server/web_text.hpp"

#include "base/text_encoding.hpp"

#include <chrono>
#include <cstdio>

namespace vantorel::server {

namespace {

/// Civil date and time of a Unix time (proleptic Gregorian, any year).
struct TCivilTime {
    int64_t Year;
    unsigned Month, Day, Hour, Minute, Second;
};

TCivilTime ToCivil(int64_t seconds) {
    using namespace std::chrono;
    const sys_seconds at{std::chrono::seconds(seconds)};
    const sys_days day = floor<days>(at);
    const year_month_day date{day};
    const hh_mm_ss<std::chrono::seconds> time{at - day};
    return {static_cast<int>(date.year()),
            static_cast<unsigned>(date.month()),
            static_cast<unsigned>(date.day()),
            static_cast<unsigned>(time.hours().count()),
            static_cast<unsigned>(time.minutes().count()),
            static_cast<unsigned>(time.seconds().count())};
}

// Years outside what a date type holds (a hand-edited row) are clamped to it.
int64_t ClampSeconds(int64_t seconds) {
    constexpr int64_t kMin = -62'135'596'800; // 0001-01-01
    constexpr int64_t kMax = 253'402'300'799; // 9999-12-31 23:59:59
    return seconds < kMin ? kMin : (seconds > kMax ? kMax : seconds);
}

} // namespace

std::string HtmlText(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (const char c : cp1252) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default: {
            const auto byte = static_cast<uint8_t>(c);
            if ((byte < 0x20 && c != '\t') || byte == 0x7F)
                out += "\xEF\xBF\xBD";
            else
                out += Cp1252ToUtf8(std::string_view(&c, 1));
        }
        }
    }
    return out;
}

std::string UtcDate(int64_t seconds) {
    const TCivilTime t = ToCivil(ClampSeconds(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u", static_cast<long long>(t.Year), t.Month,
                  t.Day);
    return text;
}

std::string UtcDateTime(int64_t seconds) {
    const TCivilTime t = ToCivil(ClampSeconds(seconds));
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02u:%02u:%02uZ",
                  static_cast<long long>(t.Year), t.Month, t.Day, t.Hour, t.Minute, t.Second);
    return text;
}

} // namespace vantorel::server

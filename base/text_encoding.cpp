#include "base/text_encoding.hpp"

#include <array>

namespace vantorel {

namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos) {
    const auto c = static_cast<unsigned char>(text[pos]);
    size_t extra = 0;
    char32_t cp = 0;
    if (c < 0x80) {
        ++pos;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07u;
    } else {
        ++pos;
        return std::nullopt;
    }
    if (text.size() - pos <= extra) {
        ++pos;
        return std::nullopt;
    }
    for (size_t k = 1; k <= extra; ++k) {
        const auto t = static_cast<unsigned char>(text[pos + k]);
        if ((t & 0xC0) != 0x80) {
            ++pos;
            return std::nullopt;
        }
        cp = (cp << 6) | (t & 0x3Fu);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8.
    static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return std::nullopt;
    }
    pos += extra + 1;
    return cp;
}

std::optional<uint8_t> CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<uint8_t>(cp);
    for (size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == cp)
            return static_cast<uint8_t>(0x80 + i);
    return std::nullopt;
}

char32_t Cp1252ToCodePoint(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80u] : byte;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text)
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<uint8_t>(ch)));
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const std::optional<char32_t> cp = DecodeUtf8(text, pos);
        const std::optional<uint8_t> byte = cp ? CodePointToCp1252(*cp) : std::nullopt;
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

std::string Utf16ToCp1252(std::span<const uint16_t> text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const uint16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i; // a pair outside the basic plane: no Windows-1252 form
            out += '?';
        } else {
            out += static_cast<char>(CodePointToCp1252(u).value_or('?'));
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();)
        if (!DecodeUtf8(text, pos))
            return false;
    return true;
}

std::string TextToUtf8(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (IsValidUtf8(text))
        return std::string(text);
    // The five bytes Windows-1252 leaves unused read as invisible C1 control
    // characters; the replacement mark shows that a character was there.
    std::string out;
    out.reserve(text.size() * 2);
    for (char ch : text) {
        const char32_t cp = Cp1252ToCodePoint(static_cast<uint8_t>(ch));
        const bool unused = cp >= 0x80 && cp < 0xA0;
        out += unused ? std::string("\xEF\xBF\xBD") : Cp1252ToUtf8(std::string_view(&ch, 1));
    }
    return out;
}

bool SameTextCp1252(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerCp1252(static_cast<unsigned char>(a[i])) !=
            LowerCp1252(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace vantorel

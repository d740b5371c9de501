// Text encodings of the game's strings. Names and texts are kept as single-byte
// Windows-1252 text, as the library files and the saved files hold them; the
// desktop's font rendering, its typed text and the library tool's output speak UTF-8.
//
// One failure rule holds for every conversion here:
// - a malformed UTF-8 sequence (a stray or missing continuation byte, an overlong
//   form, a surrogate, a value past U+10FFFF, a byte that starts nothing) decodes
//   as no character and costs one byte, so decoding resumes at the next byte;
// - a code point Windows-1252 cannot hold has no byte.
// The string conversions write '?' for each of those; the typed-character event
// drops them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vantorel {

/// The code point at text[pos] (pos < text.size()), moving pos past its bytes;
/// nothing for a malformed sequence, moving pos on by one byte.
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos);

/// The Windows-1252 byte of a code point; nothing when the code page has none.
std::optional<uint8_t> CodePointToCp1252(char32_t codePoint);
/// The code point of a Windows-1252 byte. The five bytes the code page leaves
/// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) give the C1 control of the same
/// value, as Windows does, so every byte survives a round trip.
char32_t Cp1252ToCodePoint(uint8_t byte);

/// Windows-1252 text <-> UTF-8 / UTF-16, by the rule above ('?' for what has no form).
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);
std::string Utf16ToCp1252(std::span<const uint16_t> text);

/// True when text is well-formed UTF-8: DecodeUtf8 finds no malformed sequence in it.
bool IsValidUtf8(std::string_view text);

/// A text to show, as UTF-8: unchanged when it already is valid UTF-8, else each
/// byte read as Windows-1252 (a name from an old high-score file), where the five
/// bytes the code page leaves unused show as U+FFFD. A NUL ends the text.
std::string TextToUtf8(std::string_view text);

/// Lower case of one Windows-1252 character: A-Z, the accented capitals
/// 0xC0..0xDE but the multiplication sign, and the four capitals of 0x80..0x9F
/// (Š, Œ, Ž, Ÿ). Every other byte is its own lower case.
constexpr unsigned char LowerCp1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

/// True when the Windows-1252 texts a and b are equal ignoring case (LowerCp1252).
bool SameTextCp1252(std::string_view a, std::string_view b);

} // namespace vantorel

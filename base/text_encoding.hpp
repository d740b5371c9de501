// Text encodings of the game's strings. Names and texts are kept as single-byte
// Windows-1252 text, as the library files and the saved files hold them; the
// desktop's font rendering and the library tool's output speak UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantorel {

/// Windows-1252 text <-> UTF-8 / UTF-16. Characters Windows-1252 cannot hold become '?'.
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);
std::string Utf16ToCp1252(std::span<const uint16_t> text);

/// True when text is well-formed UTF-8 (no overlong forms, surrogates or values past Unicode).
bool IsValidUtf8(std::string_view text);

} // namespace vantorel

// The code of the score report: bytes written as bits, most significant first,
// cut into groups of five, each group replaced by a character of our alphabet
// (the bit grouping of Base32 without padding, with our own characters). The
// score server decodes with the same constants; change them in both at once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

/// The 32 characters of the code, value 0 first: upper-case letters and digits
/// only, without 0, 1, I and O, in an order of our own.
inline constexpr std::string_view kScoreAlphabet = "K7RM3XQ9BVD4HT2WCN8FJ5ZLGY6SPAEU";
/// The key field of every report: one upper-case letter the server checks.
inline constexpr char kScoreKey = 'V';

/// The code of bytes. When the number of bits is not a multiple of five, zero
/// bits are put in front; a payload of 5k bytes gives exactly 8k characters.
std::string EncodeScoreCode(std::string_view bytes);

/// The bytes of a code of 8k characters (k >= 1) of the alphabet; none when the
/// length is wrong or a character is not in the alphabet.
std::optional<std::string> DecodeScoreCode(std::string_view code);

} // namespace vantorel

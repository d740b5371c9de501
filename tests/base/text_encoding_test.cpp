#include "base/text_encoding.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vantorel {
namespace {

// Every decoding path shares one rule: a malformed sequence costs exactly one byte
// and yields no character, and a character Windows-1252 cannot hold has no byte.
// Utf8ToCp1252 shows it as '?'; IsValidUtf8 rejects exactly the malformed inputs.
TEST(TextEncoding, MalformedAndUnmappableInputFollowOneRule) {
    struct Case {
        const char* Name;
        std::string Utf8;
        std::string Cp1252;
        bool Valid;
    };
    const Case cases[] = {
        {"plain", "Alex 42", "Alex 42", true},
        {"two-byte", "Ren\xC3\xA9", "Ren\xE9", true},
        {"euro from the high table", "\xE2\x82\xAC", "\x80", true},
        {"CJK: no byte", "\xE4\xB8\xAD", "?", true},
        {"outside the basic plane: no byte", "\xF0\x9F\x98\x80!", "?!", true},
        {"C1 control of an undefined byte", "\xC2\x81", "\x81", true},
        {"stray continuation", "a\x80z", "a?z", false},
        {"cut at the end", "ab\xE2\x82", "ab??", false},
        {"cut before ASCII", "\xE2\x82z", "??z", false},
        {"overlong slash", "\xC0\xAF", "??", false},
        {"overlong three-byte", "\xE0\x80\xAF", "???", false},
        {"surrogate", "\xED\xA0\x80", "???", false},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "????", false},
        {"byte that starts nothing",
         "\xFF"
         "a",
         "?a", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.Utf8), c.Cp1252) << c.Name;
        EXPECT_EQ(IsValidUtf8(c.Utf8), c.Valid) << c.Name;
    }
}

TEST(TextEncoding, DecodeMovesOneByteOverAMalformedSequence) {
    const std::string text = "\xE2\x82"
                             "A\xC3\xA9";
    std::vector<std::optional<char32_t>> got;
    std::vector<size_t> ends;
    for (size_t pos = 0; pos < text.size();) {
        got.push_back(DecodeUtf8(text, pos));
        ends.push_back(pos);
    }
    EXPECT_EQ(got,
              (std::vector<std::optional<char32_t>>{std::nullopt, std::nullopt, U'A', U'\u00E9'}));
    EXPECT_EQ(ends, (std::vector<size_t>{1, 2, 3, 5}));
}

TEST(TextEncoding, EveryByteRoundTripsThroughUnicode) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<uint8_t>(b);
        EXPECT_EQ(CodePointToCp1252(Cp1252ToCodePoint(byte)), byte) << b;
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << b;
    }
    EXPECT_EQ(CodePointToCp1252(0x0100), std::nullopt);
    EXPECT_EQ(CodePointToCp1252(0x0085), std::nullopt); // byte 0x85 is the ellipsis
}

TEST(TextEncoding, Utf16PairsAndLoneSurrogatesHaveNoByte) {
    const std::vector<uint16_t> units = {'a', 0xD83D, 0xDE00, 0xDC00, 0x20AC};
    EXPECT_EQ(Utf16ToCp1252(units), "a??\x80");
}

} // namespace
} // namespace vantorel

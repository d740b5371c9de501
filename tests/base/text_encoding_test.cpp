#include "base/text_encoding.hpp"

#include <gtest/gtest.h>

#include <ios>
#include <optional>
#include <string>
#include <string_view>
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

TEST(TextEncoding, TextToShowKeepsUtf8AndReadsOtherBytesAsWindows1252) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"Alex 42", "Alex 42"},
        {"Ren\xC3\xA9", "Ren\xC3\xA9"},                   // already UTF-8
        {"Ren\xE9", "Ren\xC3\xA9"},                       // é from an old table
        {"\x80 \x9F", "\xE2\x82\xAC \xC5\xB8"},           // € and Ÿ
        {"\x81", "\xEF\xBF\xBD"},                         // a byte 1252 leaves unused
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                 // overlong '/' is not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}, // a surrogate is not either
        {"ab\xC3", "ab\xC3\x83"},                         // cut-off sequence
        {std::string("a\0b", 3), "a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextToUtf8(c.in), c.out) << c.in;
}

// Names in the libraries are looked up ignoring case, in Windows-1252: the
// accented capitals and the four capitals among 0x80..0x9F fold too, while the
// multiplication sign and the letters without a capital stay what they are.
TEST(TextEncoding, Windows1252CaseFolding) {
    struct Fold {
        unsigned char in;
        unsigned char out;
    };
    const Fold folds[] = {
        {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {'@', '@'},   {'[', '['},
        {'0', '0'},   {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF},
        {0x9A, 0x9A}, {0x80, 0x80}, {0xC0, 0xE0}, {0xC9, 0xE9}, {0xDE, 0xFE},
        {0xD7, 0xD7}, {0xDF, 0xDF}, {0xF7, 0xF7}, {0xFF, 0xFF}, {0xBF, 0xBF},
    };
    for (const Fold& f : folds)
        EXPECT_EQ(LowerCp1252(f.in), f.out) << std::hex << int{f.in};

    struct Pair {
        std::string_view a;
        std::string_view b;
        bool same;
    };
    const Pair pairs[] = {
        {"PlayerShip", "playership", true},
        {"\xC9tude", "\xE9TUDE", true},   // Étude
        {"\x8Ao\x9F", "\x9AO\xFF", true}, // ŠoŸ against šOÿ
        {"Player", "Players", false},
        {"", "", true},
        {"a\xD7z", "a\xF7z", false},              // × is not a capital of ÷
        {std::string_view("a\0", 2), "a", false}, // sizes differ
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(SameTextCp1252(p.a, p.b), p.same) << p.a << " / " << p.b;
        EXPECT_EQ(SameTextCp1252(p.b, p.a), p.same) << p.b << " / " << p.a;
    }
}

} // namespace
} // namespace vantorel

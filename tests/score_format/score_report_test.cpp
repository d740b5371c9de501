// The score report's payload, its code and the decoder the score server uses.
#include "score_format/score_report.hpp"

#include "score_format/score_code.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace vantorel {
namespace {

/// RFC 4648 Base32 text with our characters in place of the standard ones.
std::string FromStandardBase32(std::string_view standard) {
    constexpr std::string_view kStandard = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    std::string ours;
    for (char c : standard)
        ours.push_back(kScoreAlphabet[kStandard.find(c)]);
    return ours;
}

TEST(ScoreCode, GroupsBitsAsBase32WithOurAlphabet) {
    struct Case {
        std::string Bytes;
        std::string Standard;
    };
    const Case cases[] = {
        {"fooba", "MZXW6YTB"},
        {"hello", "NBSWY3DP"},
        {"type=0|nam", "OR4XAZJ5GB6G4YLN"},
        {std::string(5, '\0'), "AAAAAAAA"},
        {std::string(5, '\xFF'), "77777777"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Standard);
        EXPECT_EQ(EncodeScoreCode(c.Bytes), FromStandardBase32(c.Standard));
        EXPECT_EQ(DecodeScoreCode(FromStandardBase32(c.Standard)), c.Bytes);
    }
    // A bit count that is not a multiple of five gets its zero bits in front.
    const std::string front{kScoreAlphabet[7], kScoreAlphabet[31]};
    EXPECT_EQ(EncodeScoreCode("\xFF"), front);
}

TEST(ScorePayload, FillsToWholeGroupsOfFiveBytes) {
    struct Case {
        std::string Name;
        size_t PayloadBytes;
        std::string Tail;
        size_t CodeChars;
    };
    const Case cases[] = {
        {"ABC", 50, "|add=_______|z=", 80},
        {"ABCD", 55, "|add=_______|z=0000", 88},
        {"ABCDE", 55, "|add=_______|z=000", 88},
        {"", 50, "|add=_______|z=000", 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TScoreReport report{c.Name, 1234, "_______"};
        const std::string payload = BuildScorePayload(report);
        EXPECT_EQ(payload.size(), c.PayloadBytes);
        EXPECT_TRUE(payload.ends_with(c.Tail)) << payload;
        EXPECT_EQ(EncodeScoreReport(report).size(), c.CodeChars);
    }
    EXPECT_EQ(BuildScorePayload({"ABC", 1234, "_______"}),
              std::string("type=0|name=ABC|score=1234|key=") + kScoreKey + "|p=|add=_______|z=");
}

TEST(ScoreDecoder, GivesBackTheFieldsOfEveryReport) {
    const TScoreReport reports[] = {
        {"ABC", 1234, "_______"},
        {"ABCD", 1234, "_______"},
        {"", 0, ""},
        {"ANONYMOUS", -300, "add text with spaces"},
        {"\xC4gir \xE9t\xE9", std::numeric_limits<int32_t>::min(), "\xFF\x01"},
        {"a|b|score=", std::numeric_limits<int32_t>::max(), "x|z=0"},
        {"name=|key=V", 7, "|add=|p=|z="},
    };
    for (const TScoreReport& report : reports) {
        SCOPED_TRACE(report.Name);
        const TScoreReportDecoding decoded = DecodeScoreReport(EncodeScoreReport(report));
        EXPECT_EQ(decoded.Error, "");
        ASSERT_TRUE(decoded.Report.has_value());
        EXPECT_EQ(*decoded.Report, report);
    }
}

/// The code of a payload written by hand; it must fill whole groups.
std::string Code(const std::string& payload) {
    EXPECT_EQ(payload.size() % 5, 0u) << payload;
    return EncodeScoreCode(payload);
}

/// The code of a payload written by hand up to "|z=", with the right filler.
std::string Filled(std::string payload) {
    while (payload.size() % 5 != 0)
        payload.push_back('0');
    return EncodeScoreCode(payload);
}

TEST(ScoreDecoder, RefusesBadReports) {
    const std::string key(1, kScoreKey);
    const std::string good = EncodeScoreReport({"ABC", 1234, "_______"});
    std::string lowerCase = good;
    lowerCase[3] = static_cast<char>(lowerCase[3] | 0x20);
    const char wrongKey = kScoreKey == 'Q' ? 'R' : 'Q';
    struct Case {
        const char* What;
        std::string Code;
        std::string Error;
    };
    const Case cases[] = {
        {"empty", "", "length is not a whole number of 8-character groups"},
        {"one character short", good.substr(0, good.size() - 1),
         "length is not a whole number of 8-character groups"},
        {"a letter outside the alphabet", "I" + good.substr(1), "character outside the alphabet"},
        {"a digit outside the alphabet", good.substr(0, 8) + "0" + good.substr(9),
         "character outside the alphabet"},
        {"lower case", lowerCase, "character outside the alphabet"},
        {"another type", Filled("type=1|name=ABC|score=1234|key=" + key + "|p=|add=_______|z="),
         "does not start with type=0|name="},
        {"no filler field", Code("type=0|name=ABC|score=1234|key=" + key + "|p=|add=_____"),
         "z field missing"},
        {"five zeros too many",
         Code("type=0|name=ABC|score=1234|key=" + key + "|p=|add=_______|z=00000"),
         "wrong filler after z"},
        {"filler not of zeros",
         Code("type=0|name=ABCD|score=1234|key=" + key + "|p=|add=_______|z=0x00"),
         "wrong filler after z"},
        {"wrong key",
         Filled(std::string("type=0|name=ABC|score=1234|key=") + wrongKey + "|p=|add=_______|z="),
         "wrong key"},
        {"score before name", Filled("type=0|score=1234|name=ABC|key=" + key + "|p=|add=_|z="),
         "does not start with type=0|name="},
        {"key before score", Filled("type=0|name=ABC|key=" + key + "|score=1234|p=|add=_|z="),
         "fields missing or out of order"},
        {"p not empty", Filled("type=0|name=ABC|score=1234|key=" + key + "|p=1|add=______|z="),
         "fields missing or out of order"},
        {"score with a leading zero",
         Filled("type=0|name=ABC|score=01234|key=" + key + "|p=|add=______|z="),
         "fields missing or out of order"},
        {"score beyond 32 bits",
         Filled("type=0|name=ABC|score=2147483648|key=" + key + "|p=|add=_|z="),
         "fields missing or out of order"},
        {"no score", Filled("type=0|name=ABCDE|score=|key=" + key + "|p=|add=_______|z="),
         "fields missing or out of order"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const TScoreReportDecoding decoded = DecodeScoreReport(c.Code);
        EXPECT_FALSE(decoded.Report.has_value());
        EXPECT_EQ(decoded.Error, c.Error);
    }
}

} // namespace
} // namespace vantorel

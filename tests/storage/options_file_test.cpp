#include "storage/options_file.hpp"

#include "printers.hpp"
#include "storage/high_score_table.hpp"
#include "temp_folder.hpp"

#include <gtest/gtest.h>

#include <string>

namespace vantorel {
namespace {

TEST(OptionsFile, ParsesTheFiveLines) {
    struct Case {
        const char* Label;
        std::string Bytes;
        OptionsRecord Expected;
        bool Complete;
    };
    const Case cases[] = {
        {"as written", "1\r\n0\r\n1\r\nTeam 7\r\nSIG\r\n", {1, 0, 1, "Team 7", "SIG"}, true},
        {"any non-zero flag is 1",
         "7\r\n-1\r\n0\r\n_______\r\n\r\n",
         {1, 1, 0, "_______", ""},
         true},
        {"blanks and line breaks before a number",
         "\r\n  1\r\n 0 rest\r\n0\r\nx\r\ns\r\n",
         {1, 0, 0, "x", "s"},
         true},
        {"bare LF and no final line end", "0\n1\n1\nab\nsig", {0, 1, 1, "ab", "sig"}, true},
        {"signature bytes above 127",
         "0\r\n1\r\n1\r\n_______\r\n(\xA7\x96|z\xE2\xF6R>\r\n",
         {0, 1, 1, "_______", "(\xA7\x96|z\xE2\xF6R>"},
         true},
        {"overlong add text cut",
         "0\r\n1\r\n1\r\nABCDEFGHIJKLMNOPQRST\r\nS\r\n",
         {0, 1, 1, "ABCDEFGHIJKL", "S"},
         true},
        {"refused characters dropped",
         "0\r\n1\r\n1\r\nx|add=\xE9y\r\nS\r\n",
         {0, 1, 1, "xaddy", "S"},
         true},
        {"no signature line", "1\r\n0\r\n0\r\nabc\r\n", {1, 0, 0, "abc", ""}, false},
        {"three lines", "1\r\n0\r\n0\r\n", {1, 0, 0, "_______", ""}, false},
        {"flag not a number", "1\r\nyes\r\n0\r\nabc\r\nS\r\n", {1, 1, 1, "_______", ""}, false},
        {"empty file", "", {}, false},
    };
    for (const Case& c : cases) {
        const TOptionsParse parse = ParseOptions(c.Bytes);
        EXPECT_EQ(parse.Options, c.Expected) << c.Label;
        EXPECT_EQ(parse.Complete, c.Complete) << c.Label;
    }
}

TEST(OptionsFile, WritesFlagsAsZeroOrOneWithCrLf) {
    OptionsRecord options{7, 0, 1, "my team", "old"};
    EXPECT_EQ(FormatOptions(options, "NEW\xFF"), "1\r\n0\r\n1\r\nmy team\r\nNEW\xFF\r\n");
}

using OptionsFileOnDisk = testing::TempFolderTest;

TEST_F(OptionsFileOnDisk, MissingUnreadableAndRead) {
    EXPECT_EQ(LoadOptionsFile("options").Status, TFileReadStatus::Missing);
    EXPECT_EQ(LoadOptionsFile("options").Options, OptionsRecord{});

    std::filesystem::create_directory("folder"); // there, but not a readable file
    const TOptionsLoad unreadable = LoadOptionsFile("folder");
    EXPECT_EQ(unreadable.Status, TFileReadStatus::Unreadable);
    EXPECT_EQ(unreadable.Options, OptionsRecord{});

    Write("options", "0\r\n0\r\n1\r\nA B\r\nS\r\n");
    const TOptionsLoad read = LoadOptionsFile("options");
    EXPECT_EQ(read.Status, TFileReadStatus::Read);
    EXPECT_TRUE(read.Complete);
    EXPECT_EQ(read.Options, (OptionsRecord{0, 0, 1, "A B", "S"}));
}

TEST_F(OptionsFileOnDisk, SaveWritesTheTableSignatureAndLoadsBackUnchanged) {
    const OptionsRecord options{1, 1, 0, "my team 7 x", ""};
    ASSERT_TRUE(SaveOptionsFile("Data/Save/options", options, HighScoreTable::Defaults()));
    EXPECT_EQ(Read("Data/Save/options"),
              "1\r\n1\r\n0\r\nmy team 7 x\r\n\x28\xA7\x96\x7C\x7A\xE2\xF6\x52\x3E\r\n");
    OptionsRecord expected = options;
    expected.StoredSignature = HighScoreTable::Defaults().Signature();
    EXPECT_EQ(LoadOptionsFile("Data/Save/options").Options, expected);
    EXPECT_FALSE(std::filesystem::exists("Data/Save/options.tmp"));
}

} // namespace
} // namespace vantorel

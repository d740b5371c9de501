#include "score_format/name_editor.hpp"

#include <gtest/gtest.h>

#include <string>

namespace vantorel {
namespace {

/// 20 pixels per character: "ABCDEFGHIJKL" is 240 wide, one more is 260.
int32_t TwentyEach(const std::string& text) {
    return static_cast<int32_t>(text.size()) * 20;
}

TEST(NameEditor, TypedCharacters) {
    struct Case {
        const char* Label;
        std::string Before;
        char Typed;
        std::string After;
    };
    const Case cases[] = {
        {"digit", "", '7', "7"},
        {"upper", "A", 'Z', "AZ"},
        {"lower", "A", 'a', "Aa"},
        {"space", "A", ' ', "A "},
        {"exclamation refused", "A", '!', "A"},
        {"underscore refused", "A", '_', "A"},
        {"byte above 127 refused", "A", '\xE9', "A"},
        {"tab refused", "A", '\t', "A"},
        {"enter is not typed", "A", '\r', "A"},
        {"backspace", "AB", 8, "A"},
        {"backspace on empty", "", 8, ""},
        {"eleventh accepted", "ABCDEFGHIJ", 'K', "ABCDEFGHIJK"},
        {"thirteenth refused", "ABCDEFGHIJKL", 'M', "ABCDEFGHIJKL"},
        {"backspace at the limit", "ABCDEFGHIJKL", 8, "ABCDEFGHIJK"},
    };
    const TNameEditor editor(TwentyEach);
    for (const Case& c : cases) {
        std::string text = c.Before;
        EXPECT_EQ(editor.Type(text, c.Typed), c.After != c.Before) << c.Label;
        EXPECT_EQ(text, c.After) << c.Label;
    }
}

TEST(NameEditor, WidthIsMeasuredBeforeTheCharacterIsAdded) {
    // "WWW" is 240 wide: one more goes in; at 250 wide nothing more does.
    const TNameEditor editor([](const std::string& text) {
        return text == "WWW" ? 240 : text == "WWWW" ? 250 : static_cast<int32_t>(text.size()) * 80;
    });
    std::string text = "WWW";
    EXPECT_TRUE(editor.Type(text, 'W'));
    EXPECT_EQ(text, "WWWW");
    EXPECT_FALSE(editor.Type(text, 'i'));
    EXPECT_EQ(text, "WWWW");
    EXPECT_TRUE(editor.Type(text, 8));
    EXPECT_EQ(text, "WWW");
}

TEST(NameEditor, RetypeHoldsAFileTextToTheRules) {
    struct Case {
        const char* Label;
        std::string Text;
        std::string Held;
    };
    const Case cases[] = {
        {"default kept", "_______", "_______"},
        {"extended default kept", "_______Joe", "_______Joe"},
        {"spaces kept", "my team 1", "my team 1"},
        {"cut at twelve", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKL"},
        {"report separators dropped", "a|name=x&b", "anamexb"},
        {"bytes above 127 dropped", "Caf\xE9", "Caf"},
        {"empty", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TNameEditor::HoldToRules(c.Text), c.Held) << c.Label;

    const TNameEditor measured(TwentyEach);
    EXPECT_EQ(measured.Retype("ABCDEFGHIJKLMNOP"), "ABCDEFGHIJKL");
    const TNameEditor wide(
        [](const std::string& text) { return static_cast<int32_t>(text.size()) * 100; });
    EXPECT_EQ(wide.Retype("ABCDEF"), "ABC"); // 200 fits, 300 does not
}

} // namespace
} // namespace vantorel

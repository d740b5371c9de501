#include "engine/text_drawing.hpp"

#include "engine/surface.hpp"
#include "engine/surface_canvas.hpp"
#include "platform/sdl_font_renderer.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantorel {
namespace {

const std::string kAliases = std::string(VANTOREL_TEST_DATA) + "/../../assets/fonts/fonts.conf";

// A back surface with a busy background, standing in for a frame of sprites.
class TextDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fonts.LoadAliases(kAliases));
        surface.SetFonts(&fonts);
        for (int32_t y = 0; y < surface.Height(); ++y)
            for (int32_t x = 0; x < surface.Width(); ++x)
                surface.Row(y)[x] = static_cast<TPixel>((x * 7919 + y * 104729) & 0x00FFFFFF);
    }

    std::vector<TPixel> Pixels() const {
        return {surface.Pixels(),
                surface.Pixels() + static_cast<ptrdiff_t>(surface.Width()) * surface.Height()};
    }

    TSdlFontRenderer fonts;
    TDirectDrawSurface surface{800, 600};
    TDirectDrawSurfaceCanvas& canvas = surface.Canvas();
};

TEST(TextStyleTable, HoldsTheTwelveStyles) {
    struct Row {
        const char* face;
        int32_t size;
        bool bold;
        uint32_t color;
    };
    const Row rows[kTextStyleCount] = {
        {"DS Crystal", 32, false, 0xF40909}, {"Arial", 15, false, 0xE6DADA},
        {"DS Crystal", 26, false, 0xF40909}, {"Arial", 24, true, 0xFF9900},
        {"DS Crystal", 36, false, 0xF40909}, {"DS Crystal", 28, false, 0xFFFFFF},
        {"DS Crystal", 20, false, 0xFFFFFF}, {"DS Crystal", 16, false, 0xFFFFFF},
        {"DS Crystal", 24, false, 0xF40909}, {"DS Crystal", 28, false, 0xFFFFFF},
        {"DS Crystal", 26, false, 0xF40909}, {"Courier", 12, false, 0xFFD137},
    };
    for (int32_t style = 1; style <= kTextStyleCount; ++style) {
        SCOPED_TRACE(style);
        const Row& want = rows[style - 1];
        const TTextStyle* got = FindTextStyle(style);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->Face, want.face);
        EXPECT_EQ(got->Size, want.size);
        EXPECT_EQ(got->Bold, want.bold);
        EXPECT_EQ(got->Color, want.color);

        TDirectDrawSurface s(4, 4);
        TDirectDrawSurfaceCanvas& c = s.Canvas();
        c.BrushClear = false;
        c.Font.Bold = !want.bold;
        SelectTextStyle(c, style);
        EXPECT_EQ(c.Font, (TFont{want.face, want.size, want.bold, want.color}));
        EXPECT_TRUE(c.BrushClear);
    }
    for (int32_t style : {0, 13, -1})
        EXPECT_EQ(FindTextStyle(style), nullptr) << style;
}

TEST(TextStyleTable, AnUnknownStyleKeepsTheFontAndClearsTheBrush) {
    TDirectDrawSurface s(4, 4);
    TDirectDrawSurfaceCanvas& c = s.Canvas();
    SelectTextStyle(c, 4);
    c.BrushClear = false;
    SelectTextStyle(c, 13);
    EXPECT_EQ(c.Font, (TFont{"Arial", 24, true, 0xFF9900}));
    EXPECT_TRUE(c.BrushClear);
}

TEST(TextAnchor, CentringTruncatesTowardZero) {
    struct Case {
        int32_t anchor, extent, start;
    };
    const Case cases[] = {
        {400, 101, 349}, {400, 100, 350}, {300, 35, 282},
        {46, 0, 46},     {0, 101, -50}, // -50.5 truncates up to -50, not down to -51
        {-10, 3, -11},                  // -11.5 -> -11
        {10, 41, -10},                  // -10.5 -> -10
    };
    for (const Case& c : cases)
        EXPECT_EQ(CentredStart(c.anchor, c.extent), c.start) << c.anchor << " " << c.extent;
}

// Drawing with an anchor must put the text exactly where TextOut would put it
// at the worked-out corner: compare the two surfaces pixel for pixel.
TEST_F(TextDrawingTest, AnchorsPlaceTheTextCorner) {
    const std::string text = "Exit the game?";
    SelectTextStyle(canvas, 1);
    const int32_t w = TextWidth(canvas, text);
    const int32_t h = TextHeight(canvas, text);
    ASSERT_GT(w, 0);
    ASSERT_TRUE(w % 2 == 1 || h % 2 == 1) << "an odd extent is needed to see the truncation";
    const auto background = Pixels();

    struct Case {
        const char* name;
        int32_t x, y; // corner TextOut gets
        void (*draw)(TDirectDrawSurfaceCanvas&, const std::string&);
    };
    const Case cases[] = {
        {"top-left", 123, 45,
         [](TDirectDrawSurfaceCanvas& c, const std::string& t) {
             DrawText(c, t, 123, 45, false, false);
         }},
        {"centred", (800 - w) / 2, (600 - h) / 2,
         [](TDirectDrawSurfaceCanvas& c, const std::string& t) {
             DrawText(c, t, 400, 300, true, true);
         }},
        {"across", (800 - w) / 2, 77,
         [](TDirectDrawSurfaceCanvas& c, const std::string& t) {
             DrawText(c, t, 400, 77, true, false);
         }},
        {"down", 5, (160 - h) / 2,
         [](TDirectDrawSurfaceCanvas& c, const std::string& t) {
             DrawText(c, t, 5, 80, false, true);
         }},
        {"off the corner", (0 - w) / 2, (0 - h) / 2,
         [](TDirectDrawSurfaceCanvas& c, const std::string& t) {
             DrawText(c, t, 0, 0, true, true);
         }},
        {"right", 282 - w, (92 - h) / 2,
         [](TDirectDrawSurfaceCanvas& c, const std::string& t) { DrawTextRight(c, t, 282, 46); }},
    };
    // (2a - e) / 2 in integer division is a - e / 2 truncated toward zero, on
    // either side of zero.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.draw(canvas, text);
        const auto drawn = Pixels();
        std::copy(background.begin(), background.end(), surface.Pixels());
        canvas.TextOut(c.x, c.y, LaidOutText(canvas, text));
        EXPECT_TRUE(Pixels() == drawn);
        EXPECT_FALSE(drawn == background);
        std::copy(background.begin(), background.end(), surface.Pixels());
    }
}

TEST_F(TextDrawingTest, EmptyTextDrawsNothingAndIsZeroWide) {
    const auto before = Pixels();
    for (int32_t style = 1; style <= kTextStyleCount; ++style) {
        EXPECT_EQ(WidthInStyle(canvas, "", style), 0) << style;
        DrawText(canvas, "", 400, 300, true, true);
        DrawText(canvas, "", 0, 0, false, false);
        DrawTextRight(canvas, "", 282, 46);
    }
    EXPECT_TRUE(Pixels() == before);
}

TEST_F(TextDrawingTest, MeasuringRightAfterSelectingUsesTheNewStyle) {
    const std::string name = "Alexandrov";
    TDirectDrawSurface fresh(4, 4);
    fresh.SetFonts(&fonts);
    SelectTextStyle(fresh.Canvas(), 10);
    const int32_t inStyle10 = TextWidth(fresh.Canvas(), name);

    SelectTextStyle(canvas, 5);
    DrawText(canvas, name, 400, 300, true, true);
    const int32_t inStyle5 = TextWidth(canvas, name);
    ASSERT_NE(inStyle5, inStyle10);
    EXPECT_EQ(WidthInStyle(canvas, name, 10), inStyle10);
    EXPECT_EQ(TextWidth(canvas, name), inStyle10) << "the style stays selected";
}

// A clear brush: pixels between and around the glyphs keep the sprites under them;
// solid glyph pixels take the style's colour and edges blend the two.
TEST_F(TextDrawingTest, TextLeavesTheBackgroundBetweenGlyphs) {
    const std::string text = "Game Over";
    SelectTextStyle(canvas, 5);
    const auto coverage = fonts.Coverage({"DS Crystal", 36, false}, LaidOutText(canvas, text));
    ASSERT_NE(coverage, nullptr);
    const auto before = Pixels();
    const int32_t x0 = 100;
    const int32_t y0 = 200;
    DrawText(canvas, text, x0, y0, false, false);

    int kept = 0, solid = 0, blended = 0;
    for (int32_t y = 0; y < coverage->Height; ++y) {
        for (int32_t x = 0; x < coverage->Width; ++x) {
            const uint32_t a = coverage->Pixels[static_cast<size_t>(y * coverage->Width + x)] >> 24;
            const TPixel was = before[static_cast<size_t>((y0 + y) * 800 + x0 + x)];
            const TPixel now = surface.Row(y0 + y)[x0 + x];
            if (a == 0) {
                kept += now == was;
                EXPECT_EQ(now, was) << x << "," << y;
            } else if (a == 255) {
                solid += now == 0xF40909u;
                EXPECT_EQ(now, 0xF40909u) << x << "," << y;
            } else {
                const int red = static_cast<int>(now >> 16);
                const int wasRed = static_cast<int>(was >> 16);
                const int wantRed =
                    (244 * static_cast<int>(a) + wasRed * (255 - static_cast<int>(a)) + 127) / 255;
                EXPECT_EQ(red, wantRed) << x << "," << y;
                ++blended;
            }
        }
    }
    EXPECT_GT(kept, 0);
    EXPECT_GT(solid, 0);
    EXPECT_GT(blended, 0);
    // Nothing outside the text's box changes.
    const auto after = Pixels();
    for (int32_t y = 0; y < 600; ++y) {
        for (int32_t x = 0; x < 800; ++x) {
            if (x < x0 || y < y0 || x >= x0 + coverage->Width || y >= y0 + coverage->Height) {
                ASSERT_EQ(after[static_cast<size_t>(y * 800 + x)],
                          before[static_cast<size_t>(y * 800 + x)]);
            }
        }
    }
}

TEST_F(TextDrawingTest, TextAtTheEdgesIsClipped) {
    const std::string text = "1234567";
    SelectTextStyle(canvas, 7);
    const int32_t w = TextWidth(canvas, text);
    const int32_t h = TextHeight(canvas, text);
    const auto before = Pixels();
    // Partly off every side, then wholly off; none may write outside the surface.
    DrawText(canvas, text, -w / 2, -h / 2, false, false);
    DrawText(canvas, text, 800 - w / 2, 600 - h / 2, false, false);
    DrawTextRight(canvas, text, w / 2, 300);
    DrawText(canvas, text, 900, 700, false, false);
    DrawText(canvas, text, -2 * w, -2 * h, false, false);
    EXPECT_FALSE(Pixels() == before);

    TDirectDrawSurface empty;
    empty.SetFonts(&fonts);
    DrawText(empty.Canvas(), text, 0, 0, false, false);
}

// A frame with no surface yet, a surface given no fonts and the null fonts all
// draw nothing and measure every text 0, without failing.
TEST_F(TextDrawingTest, WithoutFontsOrSurfaceTextsAreNothing) {
    TNullFontRenderer none;
    TDirectDrawSurface* const nothing = nullptr;
    EXPECT_EQ(CanvasOf(nothing), nullptr);
    EXPECT_EQ(WidthInStyle(nothing, "Game Over", 5), 0);
    DrawCentredInStyle(nothing, "Game Over", 5, 400, 300);
    DrawAtInStyle(nothing, "Game Over", 5, 0, 0);

    for (IFontRenderer* given :
         {static_cast<IFontRenderer*>(nullptr), static_cast<IFontRenderer*>(&none)}) {
        SCOPED_TRACE(given == nullptr ? "no fonts" : "null fonts");
        surface.SetFonts(given);
        const auto before = Pixels();
        EXPECT_EQ(WidthInStyle(&surface, "Game Over", 5), 0);
        EXPECT_EQ(TextHeight(canvas, "Game Over"), 0);
        DrawCentredInStyle(&surface, "Game Over", 5, 400, 300);
        DrawAtInStyle(&surface, "Game Over", 5, 0, 0);
        DrawTextRight(canvas, "31337", 282, 46);
        EXPECT_TRUE(Pixels() == before);
    }
    surface.SetFonts(&fonts);
    EXPECT_GT(WidthInStyle(&surface, "Game Over", 5), 0);
}

// Every window text must fit its frame and the name entry its 240-pixel limit,
// with every character drawn from the face (no empty boxes).
TEST_F(TextDrawingTest, GameTextsFitTheirWindows) {
    struct Case {
        int32_t style;
        const char* text;
        int32_t limit;
    };
    const Case cases[] = {
        {1, "Exit the game?", 360},
        {1, "Exit to menu?", 360},
        {3, "Do you want to clear", 360},
        {3, "the High Score Table?", 360},
        {9, "Your score is 2147483647", 360},
        {9, "Please, enter Your name:", 360},
        {10, "Alexandrov", 240},
        {10, "WWWWWWWWWW", 240},
        {11, "Send the result", 360},
        {11, "to the World's", 360},
        {11, "Highscores page?", 360},
        {11, "Sending results...", 360},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const int32_t width = WidthInStyle(canvas, c.text, c.style);
        EXPECT_GT(width, c.limit / 2);
        // At most the limit: 10 pixels of the 380-pixel window stay clear on each side.
        EXPECT_LE(width, c.limit);
        EXPECT_EQ(
            fonts.MissingGlyphs({canvas.Font.Name, canvas.Font.Size, canvas.Font.Bold}, c.text), 0);
    }
}

// In every style of the segment face a word space is at least half a letter
// wide, in measuring and in drawing: the condensed stand-in's own space is a
// sliver, and window texts read "SENDTHERESULT" with it.
TEST_F(TextDrawingTest, SegmentStylesKeepWordsApart) {
    for (int32_t style = 1; style <= kTextStyleCount; ++style) {
        if (FindTextStyle(style)->Face != "DS Crystal")
            continue;
        SCOPED_TRACE(style);
        const int32_t letter = WidthInStyle(canvas, "AA", style) - WidthInStyle(canvas, "A", style);
        const int32_t space =
            WidthInStyle(canvas, "A A", style) - WidthInStyle(canvas, "AA", style);
        EXPECT_GE(2 * space, letter) << "letter " << letter << ", space " << space;
        EXPECT_LE(space, 2 * letter);
    }
    // Drawn: the gap between the two words of "SEND THE" is wider than any gap
    // between two letters of a word.
    SelectTextStyle(canvas, 11);
    for (int32_t y = 0; y < surface.Height(); ++y)
        std::fill(surface.Row(y), surface.Row(y) + surface.Width(), TPixel{0});
    DrawText(canvas, "SEND THE", 10, 10, false, false);
    std::vector<int32_t> gaps;
    int32_t run = 0;
    bool inked = false;
    for (int32_t x = 0; x < 800; ++x) {
        bool any = false;
        for (int32_t y = 0; y < 100 && !any; ++y)
            any = surface.Row(y)[x] != 0;
        if (any) {
            if (inked && run > 0)
                gaps.push_back(run);
            inked = true;
            run = 0;
        } else {
            ++run;
        }
    }
    ASSERT_FALSE(gaps.empty());
    std::sort(gaps.begin(), gaps.end());
    const int32_t widest = gaps.back();
    const int32_t next = gaps.size() > 1 ? gaps[gaps.size() - 2] : 0;
    EXPECT_GE(widest, 2 * std::max(next, 1)) << "word gap " << widest << ", letter gap " << next;
}

// One frame of the name-entry window and the heads-up display, drawn twice:
// the first renders each (style, text) once, the second renders nothing.
TEST_F(TextDrawingTest, ARepeatedFrameRendersNoGlyphs) {
    fonts.Clear();
    const auto frame = [&] {
        SelectTextStyle(canvas, 9);
        DrawText(canvas, "Your score is 31337", 400, 260, true, true);
        DrawText(canvas, "Please, enter Your name:", 400, 310, true, true);
        SelectTextStyle(canvas, 10);
        DrawText(canvas, "Alex", 400, 360, true, true);
        SelectTextStyle(canvas, 6);
        DrawText(canvas, "3", 106, 43, true, true);
        SelectTextStyle(canvas, 7);
        DrawTextRight(canvas, "31337", 282, 46);
        SelectTextStyle(canvas, 10);
        DrawText(canvas, "Alex", 400, 360, true, true); // drawn twice in one frame
        canvas.Release();
    };
    const uint64_t rendered = fonts.Renderings();
    const uint64_t measured = fonts.Measurements();
    frame();
    EXPECT_EQ(fonts.Renderings() - rendered, 5u);
    // One more for the segment face's space, measured once for the word space.
    EXPECT_LE(fonts.Measurements() - measured, 6u);
    const uint64_t renderedAfterFirst = fonts.Renderings();
    const uint64_t measuredAfterFirst = fonts.Measurements();
    frame();
    EXPECT_EQ(fonts.Renderings(), renderedAfterFirst);
    EXPECT_EQ(fonts.Measurements(), measuredAfterFirst);
}

} // namespace
} // namespace vantorel

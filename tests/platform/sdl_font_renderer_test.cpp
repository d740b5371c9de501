#include "platform/sdl_font_renderer.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantorel {
namespace {

const std::string kAliases = std::string(VANTOREL_TEST_DATA) + "/../../assets/fonts/fonts.conf";

class FontRendererTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fonts.LoadAliases(kAliases)); }
    TSdlFontRenderer fonts;
};

TEST_F(FontRendererTest, GameFacesResolveThroughTheShippedAliases) {
    struct Case {
        TFontSpec font;
        const char* family;
        double scaleX;
        bool syntheticBold;
    };
    const Case cases[] = {
        {{"DS Crystal", 24, false}, "DSEG14 Classic", 0.6, false},
        {{"Arial", 15, false}, "Liberation Sans", 1.0, false},
        {{"Arial", 24, true}, "Liberation Sans", 1.0, false}, // a real bold face, not smeared
        {{"Courier", 12, false}, "Liberation Mono", 1.0, false},
        // The narrowing belongs to the stand-in for "DS Crystal", not to the face.
        {{"DSEG14 Classic", 24, false}, "DSEG14 Classic", 1.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font.Name + (c.font.Bold ? " bold" : ""));
        const TFontMatch match = fonts.Match(c.font);
        EXPECT_EQ(match.Family, c.family);
        EXPECT_DOUBLE_EQ(match.ScaleX, c.scaleX);
        EXPECT_EQ(match.SyntheticBold, c.syntheticBold);
        EXPECT_TRUE(std::filesystem::exists(match.File)) << match.File;
    }
}

TEST_F(FontRendererTest, AliasFilesThatCannotBeUsedAreRefusedQuietly) {
    TSdlFontRenderer own;
    EXPECT_FALSE(own.LoadAliases("no/such/fonts.conf"));
    const auto broken = std::filesystem::temp_directory_path() / "vantorel_broken_fonts.conf";
    std::ofstream(broken) << "<fontconfig><alias><family>unclosed";
    EXPECT_FALSE(own.LoadAliases(broken.string()));
    std::filesystem::remove(broken);
    EXPECT_TRUE(own.LoadAliases(kAliases));
    EXPECT_TRUE(own.LoadAliases(kAliases)) << "a second load of the same file is harmless";
}

// The game's aliases live in the renderer that loaded them: another renderer in
// the same process still matches with the system's configuration alone.
TEST_F(FontRendererTest, AliasesBelongToTheRendererThatLoadedThem) {
    TSdlFontRenderer plain;
    const TFontMatch withAliases = fonts.Match({"DS Crystal", 24, false});
    const TFontMatch without = plain.Match({"DS Crystal", 24, false});
    EXPECT_EQ(withAliases.Family, "DSEG14 Classic");
    EXPECT_NE(without.Family, "DSEG14 Classic");
    EXPECT_DOUBLE_EQ(without.ScaleX, 1.0);
}

// Point sizes are desktop points at 96 DPI: Liberation Sans's line is 1.149 em,
// so 24 pt (32 px em) gives a 36-37 px line where 72 DPI would give 27.
TEST_F(FontRendererTest, SizesAreDesktopPoints) {
    const TTextExtent e24 = fonts.Measure({"Arial", 24, false}, "Hg");
    const TTextExtent e12 = fonts.Measure({"Arial", 12, false}, "Hg");
    EXPECT_GE(e24.Height, 35);
    EXPECT_LE(e24.Height, 38);
    EXPECT_NEAR(e24.Height, 2 * e12.Height, 2);
}

TEST_F(FontRendererTest, EmptyTextIsZeroWideAndRendersNothing) {
    const TTextExtent e = fonts.Measure({"DS Crystal", 28, false}, "");
    EXPECT_EQ(e.Width, 0);
    EXPECT_GT(e.Height, 0);
    EXPECT_EQ(fonts.Coverage({"DS Crystal", 28, false}, ""), nullptr);
    EXPECT_TRUE(fonts.Render({"DS Crystal", 28, false}, "", 0xFFFFFF).Pixels.empty());
}

TEST_F(FontRendererTest, RenderingMatchesMeasureAndCarriesTheColourAndCoverage) {
    const TFontSpec font{"DS Crystal", 20, false};
    const TTextExtent extent = fonts.Measure(font, "Score 90");
    const TTextImage image = fonts.Render(font, "Score 90", 0x00F40909);
    ASSERT_EQ(image.Width, extent.Width);
    ASSERT_EQ(image.Height, extent.Height);
    ASSERT_EQ(image.Pixels.size(),
              static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height));
    bool solid = false;
    bool clear = false;
    for (uint32_t p : image.Pixels) {
        EXPECT_EQ(p & 0x00FFFFFFu, 0x00F40909u);
        solid = solid || (p >> 24) == 255;
        clear = clear || (p >> 24) == 0;
    }
    EXPECT_TRUE(solid);
    EXPECT_TRUE(clear);
}

TEST_F(FontRendererTest, RepeatedTextsAreServedFromTheCache) {
    fonts.Clear();
    const TFontSpec font{"DS Crystal", 16, false};
    const uint64_t measured = fonts.Measurements();
    const uint64_t rendered = fonts.Renderings();
    for (int frame = 0; frame < 3; ++frame) {
        fonts.Measure(font, "Cache me");
        fonts.Coverage(font, "Cache me");
    }
    EXPECT_EQ(fonts.Measurements() - measured, 1u);
    EXPECT_EQ(fonts.Renderings() - rendered, 1u);
    // Same text, other size: a text of its own.
    fonts.Coverage({"DS Crystal", 20, false}, "Cache me");
    EXPECT_EQ(fonts.Renderings() - rendered, 2u);
    // A text first rendered is measured by that rendering.
    fonts.Coverage(font, "Drawn first");
    EXPECT_GT(fonts.Measure(font, "Drawn first").Width, 0);
    EXPECT_EQ(fonts.Measurements() - measured, 1u);
}

TEST_F(FontRendererTest, UnknownFacesStillDrawInSomeFace) {
    const TFontSpec font{"No Such Face At All", 20, false};
    EXPECT_FALSE(fonts.Match(font).File.empty());
    EXPECT_GT(fonts.Measure(font, "abc").Width, 0);
}

TEST_F(FontRendererTest, NonPositiveSizesDrawNothing) {
    for (int32_t size : {0, -12}) {
        const TFontSpec font{"Arial", size, false};
        EXPECT_EQ(fonts.Measure(font, "abc").Width, 0);
        EXPECT_EQ(fonts.Coverage(font, "abc"), nullptr);
        EXPECT_EQ(fonts.MissingGlyphs(font, "abc"), -1);
    }
}

TEST_F(FontRendererTest, Windows1252NamesRenderWithoutMissingGlyphs) {
    EXPECT_EQ(fonts.MissingGlyphs({"Arial", 15, false}, "Ren\xE9 M\xFCller"), 0);
    EXPECT_GT(fonts.Measure({"Arial", 15, false}, "Ren\xE9").Width,
              fonts.Measure({"Arial", 15, false}, "Ren").Width);
}

} // namespace
} // namespace vantorel

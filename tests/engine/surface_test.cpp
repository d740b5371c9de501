#include "engine/blitters.hpp"
#include "engine/simd_level_fixture.hpp"
#include "engine/surface.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace vantorel {
namespace {

// Pictures are written as rows of characters: a letter is a pixel of that
// character's value in every channel, '.' is the colour key of the sources and
// '-' the background of the destinations.
constexpr TPixel kKey = 0xFF00FF;

TPixel CharPixel(char c) {
    return c == '.' ? kKey : static_cast<TPixel>(c) * 0x010101u;
}

char PixelChar(TPixel p) {
    if (p == kKey)
        return '.';
    const auto c = static_cast<char>(p & 0xFF);
    return (p == static_cast<TPixel>(c) * 0x010101u && c >= '-' && c <= 'z') ? c : '?';
}

void Paint(TDirectDrawSurface& s, const std::vector<std::string>& rows) {
    s.SetSize(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
    for (int32_t y = 0; y < s.Height(); ++y)
        for (int32_t x = 0; x < s.Width(); ++x)
            s.Row(y)[x] = CharPixel(rows[static_cast<size_t>(y)][static_cast<size_t>(x)]);
    s.SetColorKey(kKey);
}

std::vector<std::string> Picture(const TDirectDrawSurface& s) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < s.Height(); ++y) {
        std::string row;
        for (int32_t x = 0; x < s.Width(); ++x)
            row += PixelChar(s.Row(y)[x]);
        rows.push_back(row);
    }
    return rows;
}

void Background(TDirectDrawSurface& s, int32_t w, int32_t h) {
    s.SetSize(w, h);
    s.Fill(CharPixel('-'));
}

const std::vector<std::string> kKeyed = {"AB.D", "E..H", "IJKL"};

// ---------------------------------------------------------------- Draw

struct DrawCase {
    const char* name;
    int32_t x, y;
    TRect src;
    bool transparent;
    std::vector<std::string> expected;
};
void PrintTo(const DrawCase& c, std::ostream* os) {
    *os << c.name;
}

class SurfaceDraw : public testing::TestWithParam<DrawCase> {};

TEST_P(SurfaceDraw, CopiesClippedKeyedAndMirrored) {
    const DrawCase& c = GetParam();
    TDirectDrawSurface src;
    Paint(src, kKeyed);
    TDirectDrawSurface dest;
    Background(dest, 6, 5);
    dest.Draw(c.x, c.y, src, c.src, c.transparent);
    EXPECT_EQ(Picture(dest), c.expected);
}

const TRect kAll{0, 0, 4, 3};

INSTANTIATE_TEST_SUITE_P(
    Cases, SurfaceDraw,
    testing::Values(
        DrawCase{"Inside", 1, 1, kAll, false, {"------", "-AB.D-", "-E..H-", "-IJKL-", "------"}},
        DrawCase{
            "KeyLeftOut", 1, 1, kAll, true, {"------", "-AB-D-", "-E--H-", "-IJKL-", "------"}},
        DrawCase{"ClipLeft", -2, 0, kAll, true, {"-D----", "-H----", "KL----", "------", "------"}},
        DrawCase{"ClipRight", 4, 0, kAll, true, {"----AB", "----E-", "----IJ", "------", "------"}},
        DrawCase{"ClipTop", 0, -2, kAll, true, {"IJKL--", "------", "------", "------", "------"}},
        DrawCase{
            "ClipBottom", 2, 3, kAll, false, {"------", "------", "------", "--AB.D", "--E..H"}},
        DrawCase{"ClipAllSides",
                 -1,
                 -1,
                 {0, 0, 4, 3},
                 false,
                 {"..H---", "JKL---", "------", "------", "------"}},
        DrawCase{"SourcePartlyOffItsSurface",
                 1,
                 1,
                 {-1, -1, 3, 2},
                 false,
                 {"------", "------", "--AB.-", "--E..-", "------"}},
        DrawCase{"AtWidthDrawsNothing",
                 6,
                 0,
                 kAll,
                 false,
                 {"------", "------", "------", "------", "------"}},
        DrawCase{"PastWidthDrawsNothing",
                 7,
                 0,
                 kAll,
                 false,
                 {"------", "------", "------", "------", "------"}},
        DrawCase{"PastHeightDrawsNothing",
                 0,
                 6,
                 kAll,
                 false,
                 {"------", "------", "------", "------", "------"}},
        DrawCase{"EmptySourceRect",
                 0,
                 0,
                 {2, 0, 2, 3},
                 false,
                 {"------", "------", "------", "------", "------"}},
        DrawCase{"SubRect",
                 0,
                 0,
                 {1, 1, 4, 3},
                 true,
                 {"--H---", "JKL---", "------", "------", "------"}},
        DrawCase{"MirrorLeftRight",
                 1,
                 1,
                 {4, 0, 0, 3},
                 true,
                 {"------", "-D-BA-", "-H--E-", "-LKJI-", "------"}},
        DrawCase{"MirrorTopBottom",
                 1,
                 1,
                 {0, 3, 4, 0},
                 true,
                 {"------", "-IJKL-", "-E--H-", "-AB-D-", "------"}},
        DrawCase{"MirrorBoth",
                 1,
                 1,
                 {4, 3, 0, 0},
                 false,
                 {"------", "-LKJI-", "-H..E-", "-D.BA-", "------"}},
        DrawCase{"MirrorClippedLeft",
                 -1,
                 0,
                 {4, 0, 0, 3},
                 false,
                 {".BA---", "..E---", "KJI---", "------", "------"}},
        DrawCase{"MirrorClippedRight",
                 4,
                 0,
                 {4, 0, 0, 3},
                 true,
                 {"----D-", "----H-", "----LK", "------", "------"}},
        DrawCase{"MirrorSourcePartlyOff",
                 0,
                 0,
                 {5, 0, 0, 1},
                 false,
                 {"-D.BA-", "------", "------", "------", "------"}}),
    [](const testing::TestParamInfo<DrawCase>& p) { return std::string(p.param.name); });

// The tests of this suite run once per vector level of the blitters.
class SurfaceAtLevel : public SimdLevelFixture {};
VANTOREL_AT_EVERY_SIMD_LEVEL(SurfaceAtLevel);

// An independent per-pixel model of Draw, to check the run-based paths on
// larger pictures with long runs, many short runs, clipping and mirroring.
void ReferenceDraw(TDirectDrawSurface& dest, int32_t x, int32_t y, const TDirectDrawSurface& src,
                   const TRect& r, bool transparent) {
    if (x > dest.Width() || y > dest.Height())
        return;
    const int32_t l = std::min(r.Left, r.Right), h = std::max(r.Left, r.Right);
    const int32_t t = std::min(r.Top, r.Bottom), b = std::max(r.Top, r.Bottom);
    for (int32_t j = 0; j < b - t; ++j)
        for (int32_t i = 0; i < h - l; ++i) {
            const int32_t sx = r.Right < r.Left ? h - 1 - i : l + i;
            const int32_t sy = r.Bottom < r.Top ? b - 1 - j : t + j;
            // pixels of the rectangle that lie off the source move nothing
            if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height())
                continue;
            const int32_t dx = x + i, dy = y + j;
            if (dx < 0 || dy < 0 || dx >= dest.Width() || dy >= dest.Height())
                continue;
            const TPixel p = src.Row(sy)[sx];
            if (!transparent || p != src.ColorKey())
                dest.Row(dy)[dx] = p;
        }
}

enum class Mask { Ellipse, Random, Striped };

void MaskedPicture(TDirectDrawSurface& s, int32_t w, int32_t h, Mask mask, uint32_t seed) {
    std::mt19937 rng(seed);
    s.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w * 2 - 1, v = (y + 0.5) / h * 2 - 1;
            bool keyed = false;
            switch (mask) {
            case Mask::Ellipse:
                keyed = u * u + v * v > 1;
                break;
            case Mask::Random:
                keyed = rng() % 2 == 0;
                break;
            case Mask::Striped:
                keyed = (x / 3 + y) % 4 == 0;
                break;
            }
            s.Row(y)[x] = keyed ? kKey : (rng() & 0xFFFFFF) | 1;
        }
    s.SetColorKey(kKey);
}

TEST_P(SurfaceAtLevel, DrawMatchesThePerPixelModel) {
    std::mt19937 rng(7);
    for (Mask mask : {Mask::Ellipse, Mask::Random, Mask::Striped}) {
        TDirectDrawSurface src;
        MaskedPicture(src, 37, 23, mask, 11);
        for (int trial = 0; trial < 200; ++trial) {
            auto pick = [&](int lo, int hi) {
                return static_cast<int32_t>(lo + rng() % (hi - lo + 1));
            };
            TRect r{pick(-3, 40), pick(-3, 26), pick(-3, 40), pick(-3, 26)};
            const int32_t x = pick(-40, 45), y = pick(-25, 30);
            const bool transparent = trial % 3 != 0;
            TDirectDrawSurface fast;
            MaskedPicture(fast, 41, 29, Mask::Random, 99);
            TDirectDrawSurface slow;
            MaskedPicture(slow, 41, 29, Mask::Random, 99);
            fast.Draw(x, y, src, r, transparent);
            ReferenceDraw(slow, x, y, src, r, transparent);
            ASSERT_EQ(std::vector<TPixel>(fast.Pixels(), fast.Pixels() + 41 * 29),
                      std::vector<TPixel>(slow.Pixels(), slow.Pixels() + 41 * 29))
                << "mask " << static_cast<int>(mask) << " rect " << r.Left << ',' << r.Top << ','
                << r.Right << ',' << r.Bottom << " at " << x << ',' << y;
        }
    }
}

// The colour-key runs are cached; every way of changing the source must show.
TEST(SurfaceDrawRuns, FollowChangesOfTheSource) {
    TDirectDrawSurface src;
    Paint(src, {"AB", ".D"});
    auto drawn = [&] {
        TDirectDrawSurface dest;
        Background(dest, 2, 2);
        dest.Draw(0, 0, src, {0, 0, 2, 2}, true);
        return Picture(dest);
    };
    EXPECT_EQ(drawn(), (std::vector<std::string>{"AB", "-D"}));

    src.Pixels()[0] = kKey; // a write through the pixels
    EXPECT_EQ(drawn(), (std::vector<std::string>{"-B", "-D"}));

    src.Row(1)[0] = CharPixel('C'); // through a row
    EXPECT_EQ(drawn(), (std::vector<std::string>{"-B", "CD"}));

    src.SetColorKey(CharPixel('B')); // a new key
    EXPECT_EQ(drawn(), (std::vector<std::string>{".-", "CD"}));

    src.Fill(CharPixel('B')); // a fill with the key
    EXPECT_EQ(drawn(), (std::vector<std::string>{"--", "--"}));

    TDirectDrawSurface other;
    Paint(other, {"XY", "ZW"});
    src.Draw(1, 0, other, {0, 0, 1, 1}, false); // drawn onto
    EXPECT_EQ(drawn(), (std::vector<std::string>{"-X", "--"}));

    src.SetSize(2, 2); // resized: all pixels 0, none of them the key
    EXPECT_EQ(drawn(), (std::vector<std::string>{"??", "??"}));
}

TEST(SurfaceDrawRuns, SelfCopyReadsTheOldPixels) {
    TDirectDrawSurface s;
    Paint(s, {"ABCD", "EFGH"});
    s.Draw(1, 0, s, {0, 0, 3, 2}, false);
    EXPECT_EQ(Picture(s), (std::vector<std::string>{"AABC", "EEFG"}));
    s.Draw(0, 0, s, {3, 0, 0, 1}, false);
    EXPECT_EQ(Picture(s), (std::vector<std::string>{"BAAC", "EEFG"}));
}

TEST(SurfaceDraw, EmptySurfacesDrawNothing) {
    TDirectDrawSurface empty(0, 4);
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Height(), 0);
    TDirectDrawSurface src;
    Paint(src, {"AB"});
    empty.Draw(0, 0, src, {0, 0, 2, 1}, true);
    empty.DrawBlended({0, 0, 2, 1}, src, {0, 0, 2, 1}, true, 128);
    empty.DrawRotated(0, 0, 2, 1, src, {0, 0, 2, 1}, 0, 0, 0, true);
    TDirectDrawSurface dest;
    Background(dest, 2, 1);
    dest.Draw(0, 0, empty, {0, 0, 2, 1}, true);
    dest.DrawBlended({0, 0, 2, 1}, empty, {0, 0, 2, 1}, false, 128);
    dest.DrawRotated(0, 0, 2, 1, empty, {0, 0, 2, 1}, 0, 0, 0, false);
    EXPECT_EQ(Picture(dest), (std::vector<std::string>{"--"}));
}

// ---------------------------------------------------------------- DrawBlended

TEST(SurfaceBlend, FormulaIsExactAtTheEndsAndBetweenTheInputs) {
    // w = alpha + alpha / 128 spreads 0..255 over 0..256
    EXPECT_EQ(blit::BlendWeight(1), 1u);
    EXPECT_EQ(blit::BlendWeight(127), 127u);
    EXPECT_EQ(blit::BlendWeight(128), 129u);
    EXPECT_EQ(blit::BlendWeight(255), 256u);
    for (uint32_t s = 0; s < 256; s += 5)
        for (uint32_t d = 0; d < 256; d += 3) {
            EXPECT_EQ(blit::BlendPixel(s, d, 256), s);
            EXPECT_EQ(blit::BlendPixel(s, d, 0), d);
            uint32_t last = d;
            for (int32_t a = 1; a < 255; ++a) { // moves from d towards s, never past it
                const uint32_t v =
                    blit::BlendPixel(s * 0x010101u, d * 0x010101u, blit::BlendWeight(a));
                ASSERT_EQ(v, (v & 0xFF) * 0x010101u);
                const uint32_t b = v & 0xFF;
                ASSERT_TRUE(s >= d ? (b >= last && b <= s) : (b <= last && b >= s))
                    << s << ' ' << d << ' ' << a;
                last = b;
            }
        }
}

struct BlendCase {
    int32_t alpha;
    TPixel src, dest, expected;
};

TEST(SurfaceBlend, AlphaZeroHalfAndFull) {
    const BlendCase cases[] = {
        {0, 0xFF8000, 0x000000, 0x000000},   {-5, 0xFF8000, 0x123456, 0x123456},
        {128, 0xFF0000, 0x0000FF, 0x80007E}, {128, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
        {255, 0x123456, 0xFFFFFF, 0x123456}, {300, 0x123456, 0xFFFFFF, 0x123456},
        {64, 0x404040, 0x000000, 0x101010},
    };
    for (const BlendCase& c : cases) {
        TDirectDrawSurface src(1, 1), dest(1, 1);
        src.Fill(c.src);
        dest.Fill(c.dest);
        dest.DrawBlended({0, 0, 1, 1}, src, {0, 0, 1, 1}, false, c.alpha);
        EXPECT_EQ(dest.Row(0)[0], c.expected) << "alpha " << c.alpha;
    }
}

// The 1:1 blend runs four pixels at a time; every pixel of every run length,
// keyed or not, clipped or not, must equal the one-pixel formula.
TEST_P(SurfaceAtLevel, BlendRowsMatchTheOnePixelFormula) {
    for (Mask mask : {Mask::Ellipse, Mask::Random, Mask::Striped})
        for (int32_t alpha : {1, 77, 128, 254})
            for (bool transparent : {false, true})
                for (int32_t x : {-3, 0, 5}) {
                    TDirectDrawSurface src;
                    MaskedPicture(src, 23, 9, mask, 5);
                    TDirectDrawSurface dest;
                    MaskedPicture(dest, 25, 11, Mask::Random, 6);
                    TDirectDrawSurface before;
                    MaskedPicture(before, 25, 11, Mask::Random, 6);
                    dest.DrawBlended(Bounds(x, 1, 23, 9), src, {0, 0, 23, 9}, transparent, alpha);
                    for (int32_t dy = 0; dy < 11; ++dy)
                        for (int32_t dx = 0; dx < 25; ++dx) {
                            const int32_t sx = dx - x, sy = dy - 1;
                            TPixel want = before.Row(dy)[dx];
                            if (sx >= 0 && sx < 23 && sy >= 0 && sy < 9) {
                                const TPixel s = src.Row(sy)[sx];
                                if (!transparent || s != kKey)
                                    want = blit::BlendPixel(s, want, blit::BlendWeight(alpha));
                            }
                            ASSERT_EQ(dest.Row(dy)[dx], want)
                                << "alpha " << alpha << " x " << x << " at " << dx << ',' << dy;
                        }
                }
}

struct ScaleCase {
    const char* name;
    std::vector<std::string> src;
    TRect srcRect;
    TRect destRect;
    bool transparent;
    std::vector<std::string> expected;
};
void PrintTo(const ScaleCase& c, std::ostream* os) {
    *os << c.name;
}

class SurfaceBlendScaled : public testing::TestWithParam<ScaleCase> {};

TEST_P(SurfaceBlendScaled, TakesTheNearestSourcePixel) {
    const ScaleCase& c = GetParam();
    TDirectDrawSurface src;
    Paint(src, c.src);
    TDirectDrawSurface dest;
    Background(dest, static_cast<int32_t>(c.expected[0].size()),
               static_cast<int32_t>(c.expected.size()));
    dest.DrawBlended(c.destRect, src, c.srcRect, c.transparent, 255);
    EXPECT_EQ(Picture(dest), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SurfaceBlendScaled,
    testing::Values(
        ScaleCase{"Double",
                  {"AB", "C."},
                  {0, 0, 2, 2},
                  {0, 0, 4, 4},
                  true,
                  {"AABB", "AABB", "CC--", "CC--"}},
        ScaleCase{"Halve", {"ABCD", "EFGH"}, {0, 0, 4, 2}, {0, 0, 2, 1}, false, {"FH"}},
        ScaleCase{"Stretch3To5", {"ABC"}, {0, 0, 3, 1}, {0, 0, 5, 1}, false, {"AABCC"}},
        ScaleCase{"ClippedKeepsProportion",
                  {"AB", "CD"},
                  {0, 0, 2, 2},
                  {-2, -2, 2, 2},
                  false,
                  {"DD-", "DD-"}},
        ScaleCase{"Mirrored", {"AB"}, {2, 0, 0, 1}, {0, 0, 4, 1}, false, {"BBAA"}},
        ScaleCase{
            "KeyedCopyAt1To1", {"A.", ".D"}, {0, 0, 2, 2}, {1, 0, 3, 2}, true, {"-A-", "--D"}},
        ScaleCase{"EmptyDestRect", {"AB"}, {0, 0, 2, 1}, {2, 0, 0, 1}, false, {"---"}}),
    [](const testing::TestParamInfo<ScaleCase>& p) { return std::string(p.param.name); });

// Wide rows take the eight-at-a-time path; every pixel must still be the nearest
// source pixel by 16.16 stepping: destination pixel i takes source offset
// (i * step + step / 2) >> 16, step = (source width << 16) / destination width.
TEST_P(SurfaceAtLevel, ScaledCopyOfWideRowsTakesTheNearestPixel) {
    TDirectDrawSurface src;
    MaskedPicture(src, 40, 6, Mask::Random, 8);
    for (int32_t destW : {80, 53, 17})
        for (bool mirror : {false, true})
            for (int32_t left : {-7, 0, 5}) {
                TDirectDrawSurface dest(90, 12);
                const TRect r = mirror ? TRect{40, 0, 0, 6} : TRect{0, 0, 40, 6};
                dest.DrawBlended(Bounds(left, 0, destW, 12), src, r, true, 255);
                for (int32_t y = 0; y < 12; ++y)
                    for (int32_t x = 0; x < 90; ++x) {
                        TPixel want = 0;
                        const int32_t i = x - left;
                        if (i >= 0 && i < destW) {
                            const int64_t step = (int64_t{40} << 16) / destW;
                            const auto off = static_cast<int32_t>((i * step + step / 2) >> 16);
                            const TPixel p = src.Row(y / 2)[mirror ? 39 - off : off];
                            want = p == kKey ? 0 : p;
                        }
                        ASSERT_EQ(dest.Row(y)[x], want)
                            << "width " << destW << " mirror " << mirror << " left " << left
                            << " at " << x << ',' << y;
                    }
            }
}

TEST(SurfaceBlend, ScaledBlendUsesTheSameFormula) {
    TDirectDrawSurface src(1, 1), dest(3, 2);
    src.Fill(0xFF0000);
    dest.Fill(0x0000FF);
    dest.DrawBlended({0, 0, 2, 2}, src, {0, 0, 1, 1}, false, 128);
    EXPECT_EQ(dest.Row(1)[1], 0x80007Eu);
    EXPECT_EQ(dest.Row(1)[2], 0x0000FFu);
}

// ---------------------------------------------------------------- DrawRotated

struct RotateCase {
    const char* name;
    int32_t x, y, width, height;
    double cx, cy;
    int32_t angle;
    std::vector<std::string> expected;
};
void PrintTo(const RotateCase& c, std::ostream* os) {
    *os << c.name;
}

class SurfaceRotate : public testing::TestWithParam<RotateCase> {};

TEST_P(SurfaceRotate, TurnsClockwiseAboutThePivot) {
    const RotateCase& c = GetParam();
    TDirectDrawSurface src;
    Paint(src, {"ABC", "D.F"});
    TDirectDrawSurface dest;
    Background(dest, 5, 4);
    dest.DrawRotated(c.x, c.y, c.width, c.height, src, {0, 0, 3, 2}, c.cx, c.cy, c.angle, true);
    EXPECT_EQ(Picture(dest), c.expected);
}

const std::vector<std::string> kQuarter = {"-----", "-DA--", "--B--", "-FC--"};

INSTANTIATE_TEST_SUITE_P(
    Cases, SurfaceRotate,
    testing::Values(
        RotateCase{"Angle0", 1, 1, 3, 2, 0, 0, 0, {"-----", "-ABC-", "-D-F-", "-----"}},
        RotateCase{"Angle256IsAngle0", 1, 1, 3, 2, 0, 0, 256, {"-----", "-ABC-", "-D-F-", "-----"}},
        RotateCase{"Angle64", 3, 1, 3, 2, 0, 0, 64, kQuarter},
        RotateCase{"Angle320IsAngle64", 3, 1, 3, 2, 0, 0, 320, kQuarter},
        RotateCase{"AngleMinus192IsAngle64", 3, 1, 3, 2, 0, 0, -192, kQuarter},
        RotateCase{"Angle128", 3, 2, 3, 2, 0, 0, 128, {"F-D--", "CBA--", "-----", "-----"}},
        RotateCase{"Angle192", 1, 3, 3, 2, 0, 0, 192, {"-CF--", "-B---", "-AD--", "-----"}},
        // about the picture's centre (1.5, 1), which lands on the corner (2, 2)
        RotateCase{
            "HalfTurnAboutCentre", 2, 2, 3, 2, 0.5, 0.5, 128, {"-----", "-F-D-", "-CBA-", "-----"}},
        RotateCase{"ScaledTwice", 0, 0, 6, 4, 0, 0, 0, {"AABBC", "AABBC", "DD--F", "DD--F"}},
        RotateCase{"ScaledQuarter", 4, 0, 6, 2, 0, 0, 64, {"--DA-", "--DA-", "---B-", "---B-"}},
        RotateCase{
            "ClippedAtTheCorner", 1, 1, 3, 2, 0, 0, 128, {"A----", "-----", "-----", "-----"}},
        RotateCase{
            "ZeroWidthDrawsNothing", 1, 1, 0, 2, 0, 0, 0, {"-----", "-----", "-----", "-----"}}),
    [](const testing::TestParamInfo<RotateCase>& p) { return std::string(p.param.name); });

// Every pixel of a turned picture lands where the forward formula puts its centre:
// (X + a cos - b sin, Y + a sin + b cos), a and b measured from the pivot.
TEST_P(SurfaceAtLevel, TurnedPixelsLandWhereTheFormulaSays) {
    // wide enough that whole rows go through the eight-at-a-time path
    TDirectDrawSurface src;
    MaskedPicture(src, 40, 24, Mask::Random, 3);
    int32_t opaque = 0;
    for (int32_t i = 0; i < 40 * 24; ++i)
        opaque += src.Pixels()[i] != kKey;
    for (int32_t angle : {0, 64, 128, 192})
        for (double cx : {0.0, 0.25, 1.0})
            for (bool mirror : {false, true}) {
                TDirectDrawSurface dest(120, 120);
                const int32_t X = 60, Y = 60;
                const double cy = 0.75;
                const TRect r = mirror ? TRect{40, 0, 0, 24} : TRect{0, 0, 40, 24};
                dest.DrawRotated(X, Y, 40, 24, src, r, cx, cy, angle, true);
                const double t = angle * 2 * 3.14159265358979323846 / 256;
                int32_t drawn = 0;
                for (int32_t i = 0; i < 120 * 120; ++i)
                    drawn += dest.Pixels()[i] != 0;
                ASSERT_EQ(drawn, opaque) << "angle " << angle << " cx " << cx;
                for (int32_t v = 0; v < 24; ++v)
                    for (int32_t u = 0; u < 40; ++u) {
                        // the centre of pixel (u, v) of the (mirrored) picture
                        const double a = u + 0.5 - 40 * cx, b = v + 0.5 - 24 * cy;
                        const double px = X + a * std::cos(t) - b * std::sin(t);
                        const double py = Y + a * std::sin(t) + b * std::cos(t);
                        const TPixel want = src.Row(v)[mirror ? 39 - u : u];
                        const TPixel got = dest.Row(static_cast<int32_t>(
                            std::floor(py)))[static_cast<int32_t>(std::floor(px))];
                        ASSERT_EQ(got, want == kKey ? 0u : want)
                            << "angle " << angle << " cx " << cx << " mirror " << mirror
                            << " pixel " << u << ',' << v;
                    }
            }
}

// Between the quarter turns the picture keeps its area and its pivot pixel.
TEST(SurfaceRotate, EighthTurnKeepsAreaAndPivot) {
    TDirectDrawSurface src(20, 20);
    src.Fill(0x00FF00);
    for (int32_t y = 9; y <= 10; ++y)
        for (int32_t x = 9; x <= 10; ++x)
            src.Row(y)[x] = 0xFF0000; // around the pivot (10, 10)
    TDirectDrawSurface dest(64, 64);
    dest.DrawRotated(30, 30, 20, 20, src, {0, 0, 20, 20}, 0.5, 0.5, 32, false);
    EXPECT_EQ(dest.Row(30)[30], 0xFF0000u);
    int32_t drawn = 0;
    for (int32_t i = 0; i < 64 * 64; ++i)
        drawn += dest.Pixels()[i] != 0;
    EXPECT_NEAR(drawn, 20 * 20, 40);
    // the right-hand corner of the diamond lies 10 * sqrt(2) = 14.1 to the right
    EXPECT_EQ(dest.Row(30)[43], 0x00FF00u);
    EXPECT_EQ(dest.Row(30)[44], 0u);
}

// ---------------------------------------------------------------- Lock and Fill

TEST(SurfaceLock, GivesAreasInsideTheSurfaceOnly) {
    TDirectDrawSurface s;
    Paint(s, {"ABCD", "EFGH", "IJKL"});
    struct {
        TRect area;
        bool ok;
        char first;
    } cases[] = {
        {{0, 0, 4, 3}, true, 'A'}, {{1, 1, 3, 3}, true, 'F'}, {{3, 2, 4, 3}, true, 'L'},
        {{-1, 0, 2, 2}, false, 0}, {{0, -1, 2, 2}, false, 0}, {{2, 0, 5, 2}, false, 0},
        {{0, 2, 2, 4}, false, 0},  {{2, 2, 2, 3}, false, 0},  {{3, 1, 1, 2}, false, 0},
    };
    for (const auto& c : cases) {
        TSurfaceLock lock;
        ASSERT_EQ(s.Lock(c.area, lock), c.ok) << c.area.Left << ',' << c.area.Top;
        if (!c.ok)
            continue;
        EXPECT_EQ(lock.Bits[0], CharPixel(c.first));
        EXPECT_EQ(lock.Pitch, 4);
        EXPECT_EQ(lock.Width, c.area.Width());
        EXPECT_EQ(lock.Height, c.area.Height());
        EXPECT_EQ(lock.Bits[(lock.Height - 1) * lock.Pitch + lock.Width - 1],
                  s.Row(c.area.Bottom - 1)[c.area.Right - 1]);
    }
}

TEST_P(SurfaceAtLevel, FillSetsEveryPixel) {
    for (TPixel value : {0x000000u, 0x123456u}) {
        TDirectDrawSurface s(7, 3); // odd width: the four-at-a-time loop has a tail
        s.Fill(0xFFFFFF);
        s.Fill(value);
        for (int32_t i = 0; i < 21; ++i)
            ASSERT_EQ(s.Pixels()[i], value);
    }
}

} // namespace
} // namespace vantorel

#include "engine/image_sprite.hpp"

#include "engine/sprite_engine.hpp"
#include "engine/sprite_pictures.hpp"

#include <gtest/gtest.h>

#include <ostream>

namespace vantorel {
namespace {

using testing_sprites::Letters;
using testing_sprites::Paint;
using testing_sprites::TTestPictures;
using TRows = std::vector<std::string>;

// ---- animation ----

struct TAnimCase {
    const char* label;
    bool loop;
    int32_t frameCount;
    double position;
    double speed;
    int32_t moveCount;
    int steps;
    double endPosition;
    double endSpeed;
};
void PrintTo(const TAnimCase& c, std::ostream* os) {
    *os << c.label;
}

class ImageSpriteAnimation : public ::testing::TestWithParam<TAnimCase> {};

TEST_P(ImageSpriteAnimation, WrapsOrStops) {
    const auto& c = GetParam();
    TImageSprite s(nullptr);
    s.AnimLoop = c.loop;
    s.AnimFrameCount = c.frameCount;
    s.AnimPosition = c.position;
    s.AnimSpeed = c.speed;
    for (int i = 0; i < c.steps; ++i)
        s.MoveSelf(c.moveCount);
    EXPECT_DOUBLE_EQ(s.AnimPosition, c.endPosition);
    EXPECT_DOUBLE_EQ(s.AnimSpeed, c.endSpeed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageSpriteAnimation,
    ::testing::Values(
        // label, loop, count, position, speed, moveCount, steps -> position, speed
        TAnimCase{"StopsOnLastFrame", false, 4, 0, 1, 1, 4, 3, 0},
        TAnimCase{"RunsUntilTheEnd", false, 4, 0, 1, 1, 3, 3, 1},
        TAnimCase{"StopsAtZeroBackwards", false, 4, 1, -1, 1, 2, 0, 0},
        TAnimCase{"NoFramesNoLoop", false, 0, 0, 1, 1, 1, 0, 0},
        TAnimCase{"NoFramesLoopStaysAtZero", true, 0, 0, 1, 5, 3, 0, 1},
        TAnimCase{"LoopWraps", true, 4, 0, 1.5, 1, 3, 0.5, 1.5},
        TAnimCase{"LoopJustPastTheEnd", true, 4, 3.75, 0.5, 1, 1, 0.25, 0.5},
        TAnimCase{"LoopKeepsPositionBelowCount", true, 4, 3.25, 0.25, 1, 1, 3.5, 0.25},
        TAnimCase{"LoopBackwards", true, 4, 0.5, -1, 1, 1, 3.5, -1},
        TAnimCase{"LoopManyCycles", true, 3, 0, 0.25, 40, 1, 1, 0.25},
        TAnimCase{"LoopManyCyclesBackwards", true, 3, 0, -0.25, 40, 1, 2, -0.25}),
    [](const auto& tc) { return std::string(tc.param.label); });

TEST(ImageSprite, DrawFrameRoundsHalvesToEven) {
    const struct {
        double position;
        int32_t first;
        int32_t frame;
    } cases[] = {{2.5, 10, 12}, {3.5, 10, 14}, {2.49, 0, 2},
                 {0.5, 0, 0},   {1.5, 0, 2},   {-0.5, 3, 3}};
    TImageSprite s(nullptr);
    for (const auto& c : cases) {
        s.AnimPosition = c.position;
        s.AnimFirstFrame = c.first;
        EXPECT_EQ(s.DrawFrame(), c.frame) << c.position;
    }
}

// ---- pictures ----

class ImageSpritePictures : public ::testing::Test {
protected:
    TTestPictures pics;
    TSpriteEngine engine;
    TDirectDrawSurface surface;

    // Three 2x2 patterns side by side: a, b, c; pattern b has a transparent corner.
    TPictureCollectionItem& strip = pics.Add({"aabbcc", "aa.bcc"}, 2, 2);
};

TEST_F(ImageSpritePictures, SetImageTakesThePatternSizeAndLeavesTheAnimationAlone) {
    auto* s = new TImageSprite(&engine);
    s->AnimFrameCount = 7;
    s->AnimPosition = 2;
    s->SetImage(&strip);
    EXPECT_EQ(s->Width, 2);
    EXPECT_EQ(s->Height, 2);
    EXPECT_EQ(s->AnimFrameCount, 7);
    EXPECT_EQ(s->AnimPosition, 2);
    s->SetImage(nullptr);
    EXPECT_EQ(s->Width, 0);
    EXPECT_EQ(s->Height, 0);
}

TEST_F(ImageSpritePictures, DrawRectCentresThePatternTruncatingTowardZero) {
    auto& wide =
        pics.Add({"aaaaaaaaaaa", "aaaaaaaaaaa", "aaaaaaaaaaa", "aaaaaaaaaaa", "aaaaaaaaaaa"});
    auto* s = new TImageSprite(&engine);
    s->SetImage(&wide); // 11 x 5
    s->X = 100;
    s->Y = 50;
    s->Width = 20;
    s->Height = 10;
    EXPECT_EQ(s->DrawRect(), (TRect{104, 52, 124, 62}));
    s->Width = 8;  // (8 - 11) / 2 = -1, not -2
    s->Height = 2; // (2 - 5) / 2 = -1
    EXPECT_EQ(s->DrawRect(), (TRect{99, 49, 107, 51}));
}

TEST_F(ImageSpritePictures, DrawsPatternDrawFrameAtDrawRect) {
    struct TCase {
        double x, y;
        double position;
        int32_t width;
        TRows expected;
    };
    const TCase cases[] = {
        {1, 1, 0, 2, {".....", ".aa..", ".aa..", "....."}},
        {1, 1, 1.5, 2, {".....", ".cc..", ".cc..", "....."}}, // 1.5 -> pattern 2
        {1, 1, 0.5, 2, {".....", ".aa..", ".aa..", "....."}}, // 0.5 -> pattern 0
        {0.5, 1, 1, 2, {".....", "bb...", ".b...", "....."}}, // x 0.5 -> 0; key left out
        {1, 1, 3, 2, {".....", ".....", ".....", "....."}},   // not a pattern of the image
        {0, 2, 0, 4, {".....", ".....", ".aa..", ".aa.."}},   // centred in a wider sprite
        {-1, -1, 2, 2, {"c....", ".....", ".....", "....."}}, // clipped at the corner
    };
    for (const auto& c : cases) {
        Paint(surface, {".....", ".....", ".....", "....."});
        engine.SetSurface(&surface);
        engine.Clear();
        auto* s = new TImageSprite(&engine);
        s->SetImage(&strip);
        s->X = c.x;
        s->Y = c.y;
        s->Width = c.width;
        s->AnimPosition = c.position;
        engine.Draw();
        EXPECT_EQ(Letters(surface), c.expected) << c.x << "," << c.y << " pos " << c.position;
    }
}

TEST_F(ImageSpritePictures, WithoutAnImageNothingIsDrawn) {
    Paint(surface, {"...", "..."});
    engine.SetSurface(&surface);
    auto* s = new TImageSprite(&engine);
    s->Width = 3;
    s->Height = 2;
    engine.Draw();
    EXPECT_EQ(engine.DrawCount(), 1);
    EXPECT_EQ(Letters(surface), (TRows{"...", "..."}));
}

// ---- tiling ----

TEST(ImageSpriteTiled, BoundsWrapAroundTheSurface) {
    TSpriteEngine engine;
    TDirectDrawSurface surface(800, 600);
    engine.SetSurface(&surface);
    auto* s = new TImageSprite(&engine);
    s->Tiled = true;
    s->Width = 100;
    s->Height = 50;
    const struct {
        double x, y;
        int32_t left, top;
    } cases[] = {
        {0, 0, 0, 0},         {800, 600, 800, 600}, {801, 601, -99, -49},  {899, 649, -1, -1},
        {900, 650, 0, 0},     {-1, -1, -1, -1},     {-100, -50, 800, 600}, {-101, -51, 799, 599},
        {1850, 1350, 50, 50}, {10.5, 11.5, 10, 12},
    };
    for (const auto& c : cases) {
        s->X = c.x;
        s->Y = c.y;
        EXPECT_EQ(s->GetBounds(), (TRect{c.left, c.top, c.left + 100, c.top + 50}))
            << c.x << "," << c.y;
    }
    s->Tiled = false;
    s->X = 801;
    EXPECT_EQ(s->GetBounds().Left, 801);
}

TEST(ImageSpriteTiled, NothingToWrapAroundWithoutSurfaceOrSize) {
    // Before the display is up the surface rectangle is empty; a sprite of no
    // size then has a modulus of 0 and must keep its position.
    TSpriteEngine engine;
    auto* s = new TImageSprite(&engine);
    s->Tiled = true;
    s->X = -7;
    s->Y = 12;
    EXPECT_EQ(s->GetBounds(), (TRect{-7, 12, -7, 12}));
    TImageSprite loose(nullptr);
    loose.Tiled = true;
    loose.X = 3;
    EXPECT_EQ(loose.GetBounds(), (TRect{3, 0, 3, 0}));
}

// ---- pixel test ----

TEST(PatternsOverlap, ComparesOnlyTheOverlappingOpaquePixels) {
    TDirectDrawSurface corner; // opaque at its bottom-right pixel only
    Paint(corner, {"....", "....", "....", "...a"});
    TDirectDrawSurface origin; // opaque at its top-left pixel only
    Paint(origin, {"b...", "....", "....", "...."});
    // Two 4x4 patterns on one sheet: the right one is opaque at its top-left.
    TDirectDrawSurface sheet;
    Paint(sheet, {"........", "........", "........", "...a...."});
    sheet.Row(0)[4] = 0xFF0000;
    // Magenta is this surface's key: black pixels are opaque here.
    TDirectDrawSurface magenta;
    Paint(magenta, {"xxxx", "xxxx", "xxxx", "xxxx"});
    magenta.Fill(0xFF00FF);
    magenta.Row(0)[0] = 0x000000;
    magenta.SetColorKey(0xFF00FF);

    const TRect r4{0, 0, 4, 4};
    const struct {
        const char* label;
        const TDirectDrawSurface* s1;
        TRect r1;
        int32_t x1, y1;
        const TDirectDrawSurface* s2;
        TRect r2;
        int32_t x2, y2;
        bool hit;
    } cases[] = {
        {"corners meet", &corner, r4, 0, 0, &origin, r4, 3, 3, true},
        {"corners meet, swapped", &origin, r4, 3, 3, &corner, r4, 0, 0, true},
        {"overlap without opaque pair", &corner, r4, 0, 0, &origin, r4, 2, 2, false},
        {"edges touch", &corner, r4, 0, 0, &origin, r4, 4, 3, false},
        {"far apart", &corner, r4, 10, 10, &origin, r4, 0, 0, false},
        {"no surface, overlap", &corner, r4, 0, 0, nullptr, r4, 2, 2, true},
        {"no surface, apart", nullptr, r4, 0, 0, &origin, r4, 4, 0, false},
        {"pattern offset on a sheet", &sheet, TRect{4, 0, 8, 4}, 0, 0, &corner, r4, -3, -3, true},
        {"same sheet, both patterns", &sheet, TRect{0, 0, 4, 4}, 0, 0, &sheet, TRect{4, 0, 8, 4}, 3,
         3, true},
        {"same sheet, shifted off", &sheet, TRect{0, 0, 4, 4}, 0, 0, &sheet, TRect{4, 0, 8, 4}, 2,
         3, false},
        {"each surface has its own key", &magenta, r4, 3, 3, &corner, r4, 0, 0, true},
        {"empty pattern", &corner, TRect{}, 0, 0, &origin, r4, 0, 0, false},
        {"area outside the surface cannot be locked", &corner, TRect{0, 0, 8, 8}, 0, 0, &origin, r4,
         5, 5, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PatternsOverlap(c.s1, c.r1, c.x1, c.y1, c.s2, c.r2, c.x2, c.y2), c.hit)
            << c.label;
    }
}

TEST_F(ImageSpritePictures, PixelCollisionDecidesHitsBetweenImageSprites) {
    auto& ring = pics.Add({"aaaa", "a..a", "a..a", "aaaa"});
    auto& dot = pics.Add({"b"});
    auto* a = new TImageSprite(&engine);
    a->SetImage(&ring);
    a->PixelCollision = true;
    auto* b = new TImageSprite(&engine);
    b->SetImage(&dot);
    b->PixelCollision = true;

    struct TCase {
        double x, y;
        double position;
        bool pixel;
        int32_t hits;
    } cases[] = {
        {1, 1, 0, true, 0},  // inside the ring's hole
        {0, 1, 0, true, 1},  // on the ring
        {1, 1, 0, false, 1}, // rectangles suffice without the pixel test
        {0, 1, 1, true, 0},  // pattern 1 does not exist: never a hit
        {4, 1, 0, true, 0},  // beside the ring
    };
    for (const auto& c : cases) {
        b->X = c.x;
        b->Y = c.y;
        b->AnimPosition = c.position;
        a->PixelCollision = c.pixel;
        b->PixelCollision = c.pixel;
        EXPECT_EQ(a->CheckCollisions(), c.hits) << c.x << "," << c.y;
        EXPECT_EQ(b->CheckCollisions(), c.hits) << c.x << "," << c.y;
    }

    // Against a sprite that is not an image sprite the rectangles decide.
    auto* plain = new TSprite(&engine);
    plain->Width = 1;
    plain->Height = 1;
    plain->X = 1;
    plain->Y = 1;
    a->PixelCollision = true;
    EXPECT_TRUE(a->HitTest(*plain));
}

} // namespace
} // namespace vantorel

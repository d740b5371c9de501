#include "engine/background_sprite.hpp"

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

class BackgroundSprite : public ::testing::Test {
protected:
    TTestPictures pics;
    TSpriteEngine engine;
    TDirectDrawSurface surface;
    // Two 2x2 tiles: pattern 0 all a, pattern 1 all b.
    TPictureCollectionItem& tiles = pics.Add({"aabb", "aabb"}, 2, 2);

    TBackgroundSprite* Make(int32_t mapWidth, int32_t mapHeight) {
        auto* s = new TBackgroundSprite(&engine);
        s->SetMapSize(mapWidth, mapHeight);
        s->SetImage(&tiles);
        return s;
    }
};

TEST_F(BackgroundSprite, MapStartsSolidAtPatternZeroAndReadsSafelyOutside) {
    auto* s = Make(3, 2);
    EXPECT_FALSE(s->CanCollide);
    EXPECT_EQ(s->Width, 6);
    EXPECT_EQ(s->Height, 4);
    for (int32_t r = 0; r < 2; ++r) {
        for (int32_t c = 0; c < 3; ++c) {
            EXPECT_EQ(s->Cells(c, r), 0);
            EXPECT_TRUE(s->CellSolid(c, r));
        }
    }
    s->SetCells(2, 1, 7);
    s->SetCellSolid(2, 1, false);
    EXPECT_EQ(s->Cells(2, 1), 7);
    EXPECT_FALSE(s->CellSolid(2, 1));
    EXPECT_EQ(s->Cells(1, 1), 0); // row-major: (2, 1) is not (1, 2)

    const struct { int32_t c, r; } outside[] = {{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {3, 2}};
    for (const auto& o : outside) {
        EXPECT_EQ(s->Cells(o.c, o.r), -1) << o.c << "," << o.r;
        EXPECT_FALSE(s->CellSolid(o.c, o.r)) << o.c << "," << o.r;
        s->SetCells(o.c, o.r, 5); // ignored, must not write anywhere
        s->SetCellSolid(o.c, o.r, false);
    }
    EXPECT_EQ(s->Cells(0, 0), 0);
    EXPECT_TRUE(s->CellSolid(0, 0));

    s->SetMapSize(3, 2); // the same size keeps the map
    EXPECT_EQ(s->Cells(2, 1), 7);
    s->SetMapSize(4, 0); // an empty side empties the whole map
    EXPECT_EQ(s->MapWidth(), 0);
    EXPECT_EQ(s->MapHeight(), 0);
    EXPECT_EQ(s->Cells(0, 0), -1);
    EXPECT_EQ(s->Width, 6); // size stays until the image is set again
    s->SetMapSize(1, 1);
    EXPECT_EQ(s->Cells(0, 0), 0);
}

TEST_F(BackgroundSprite, BoundsCoverTheMapOrTheWholeSurfaceWhenTiled) {
    TDirectDrawSurface field(800, 600);
    engine.SetSurface(&field);
    auto* s = Make(3, 2);
    s->X = 10.5;
    s->Y = -3;
    EXPECT_EQ(s->GetBounds(), (TRect{10, -3, 16, 1}));
    s->Tiled = true;
    EXPECT_EQ(s->GetBounds(), (TRect{0, 0, 800, 600}));
    s->Tiled = false;
    s->SetImage(nullptr);
    EXPECT_EQ(s->GetBounds(), (TRect{}));
}

struct TMapCase {
    const char* label;
    double x, y;
    int32_t mapWidth, mapHeight;
    std::vector<int32_t> cells; // row-major
    bool tiled;
    TRows expected;
};
void PrintTo(const TMapCase& c, std::ostream* os) {
    *os << c.label;
}

class BackgroundSpriteDraw : public BackgroundSprite,
                             public ::testing::WithParamInterface<TMapCase> {};

TEST_P(BackgroundSpriteDraw, PaintsTheCellsOnTheSurface) {
    const auto& c = GetParam();
    Paint(surface, TRows(6, "........"));
    engine.SetSurface(&surface);
    auto* s = Make(c.mapWidth, c.mapHeight);
    for (int32_t i = 0; i < static_cast<int32_t>(c.cells.size()); ++i)
        s->SetCells(i % c.mapWidth, i / c.mapWidth, c.cells[static_cast<size_t>(i)]);
    s->X = c.x;
    s->Y = c.y;
    s->Tiled = c.tiled;
    engine.Draw();
    EXPECT_EQ(Letters(surface), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackgroundSpriteDraw,
    ::testing::Values(
        TMapCase{"HalfTileLeftOfTheSurface",
                 -1,
                 1,
                 3,
                 2,
                 {0, 1, -1, 1, 0, 0},
                 false,
                 {"........", "abb.....", "abb.....", "baaaa...", "baaaa...", "........"}},
        TMapCase{"WholeTilesLeftOfTheSurface",
                 -3,
                 0,
                 3,
                 1,
                 {0, 1, 0},
                 false,
                 {"baa.....", "baa.....", "........", "........", "........", "........"}},
        TMapCase{"RightOfTheOrigin",
                 3,
                 4,
                 3,
                 1,
                 {0, 1, 0},
                 false,
                 {"........", "........", "........", "........", "...aabba", "...aabba"}},
        TMapCase{"AboveTheSurface",
                 0,
                 -3,
                 1,
                 3,
                 {0, 1, 0},
                 false,
                 {"bb......", "aa......", "aa......", "........", "........", "........"}},
        TMapCase{"TiledRepeatsBothWays",
                 1,
                 -1,
                 2,
                 1,
                 {0, 1},
                 true,
                 {"baabbaab", "baabbaab", "baabbaab", "baabbaab", "baabbaab", "baabbaab"}},
        TMapCase{"TiledFarLeftWithGaps",
                 -13,
                 0,
                 2,
                 2,
                 {0, -1, -1, 1},
                 true,
                 {"a..aa..a", "a..aa..a", ".bb..bb.", ".bb..bb.", "a..aa..a", "a..aa..a"}},
        TMapCase{"EmptyMap",
                 0,
                 0,
                 0,
                 0,
                 {},
                 true,
                 {"........", "........", "........", "........", "........", "........"}}),
    [](const auto& tc) { return std::string(tc.param.label); });

TEST_F(BackgroundSprite, WithoutAUsableImageNothingIsDrawnAndEverythingHits) {
    Paint(surface, TRows(2, "...."));
    engine.SetSurface(&surface);
    auto& blank = pics.Add({});
    TSprite other(nullptr);
    other.X = 500;
    other.Width = 1;
    other.Height = 1;

    auto* none = Make(2, 1);
    none->SetImage(nullptr);
    none->Width = 4;
    none->Height = 2;
    auto* empty = Make(2, 1);
    empty->SetImage(&blank);
    empty->Width = 4;
    empty->Height = 2;
    auto* noMap = Make(0, 0);
    noMap->Width = 4;
    noMap->Height = 2;
    // Tiled, so that the draw pass reaches DrawSelf whatever the image says.
    for (auto* s : {none, empty, noMap})
        s->Tiled = true;

    engine.Draw();
    EXPECT_EQ(Letters(surface), (TRows{"....", "...."}));
    for (auto* s : {none, empty, noMap})
        EXPECT_TRUE(s->HitTest(other));
}

TEST_F(BackgroundSprite, HitTestLooksForASolidCellUnderTheOtherSprite) {
    TDirectDrawSurface field(800, 600);
    engine.SetSurface(&field);
    auto& big = pics.Add(TRows(10, "aaaaaaaaaa")); // one 10x10 tile
    auto* s = new TBackgroundSprite(&engine);
    s->SetMapSize(3, 1);
    s->SetImage(&big);
    s->SetCellSolid(1, 0, false);
    s->X = 100;
    s->Y = 50;
    auto* other = new TSprite(&engine);

    const struct {
        const char* label;
        bool tiled;
        double x, y;
        int32_t w, h;
        bool hit;
    } cases[] = {
        {"inside the open cell", false, 112, 52, 4, 4, false},
        {"reaching into a solid cell", false, 108, 52, 4, 4, true},
        {"exactly the open cell", false, 110, 50, 10, 10, false},
        {"in the last solid cell", false, 125, 50, 5, 5, true},
        {"repeat of the first cell", true, 12, 0, 5, 5, true},
        {"repeat of the open cell", true, 22, 0, 5, 5, false},
        {"repeat further down", true, 12, 300, 5, 5, true},
        {"repeat left of the map", true, 72, 5, 5, 5, true},
    };
    for (const auto& c : cases) {
        s->Tiled = c.tiled;
        other->X = c.x;
        other->Y = c.y;
        other->Width = c.w;
        other->Height = c.h;
        EXPECT_EQ(s->HitTest(*other), c.hit) << c.label;
    }
}

} // namespace
} // namespace vantorel

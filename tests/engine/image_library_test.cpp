#include "engine/image_library.hpp"

#include "base/errors.hpp"
#include "engine/display.hpp"
#include "platform/video_output.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace vantorel {
namespace {

// A picture whose every pixel tells where it came from: 0x00XXYY00 + 1.
TPicture Numbered(int32_t w, int32_t h) {
    TPicture pic;
    pic.Width = w;
    pic.Height = h;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pic.Pixels.push_back(static_cast<TPixel>((x % 256) << 16 | (y % 256) << 8 | 1));
    return pic;
}

TPictureCollectionItem& AddPicture(TPictureCollection& c, const std::string& name, TPicture pic) {
    auto& item = c.Add(c);
    item.SetName(name);
    item.Picture = std::move(pic);
    return item;
}

// An initialised headless display for the pattern tests.
struct Display : ::testing::Test {
    TNullVideoOutput output;
    TDXDraw draw{&output};
    void SetUp() override { draw.Initialize(); }
};

TEST(ImageLibraryFind, IgnoresCaseAndPrefersTheLaterOfEqualNames) {
    TPictureCollection c;
    AddPicture(c, "Player", Numbered(1, 1));
    AddPicture(c,
               "Gr\xD6\xDF"
               "e",
               Numbered(1, 1)); // Windows-1252 text
    AddPicture(c, "Shot", Numbered(1, 1));
    AddPicture(c, "SHOT", Numbered(1, 1));
    EXPECT_EQ(c.Find("player").Index(), 0);
    EXPECT_EQ(c.Find("PLAYER").Index(), 0);
    EXPECT_EQ(c.Find("gr\xF6\xDF"
                     "e")
                  .Index(),
              1);
    EXPECT_EQ(c.Find("shot").Index(), 3);

    c.Items(2).SetName("shot"); // renaming enters the chain anew
    EXPECT_EQ(c.Find("Shot").Index(), 2);
}

TEST(ImageLibraryFind, MissingNameRaisesWithTheName) {
    TPictureCollection c;
    AddPicture(c, "Player", Numbered(1, 1));
    try {
        c.Find("Playr");
        FAIL();
    } catch (const EPictureCollectionError& e) {
        EXPECT_STREQ(e.what(), "Image 'Playr' not found");
    }
}

TEST(ImageLibraryPatterns, CountBeforeBuilding) {
    struct Case {
        int32_t W, H, PatternW, PatternH, SkipW, SkipH, Expected;
    };
    const Case cases[] = {
        {100, 40, 30, 0, 5, 0, 3}, // 100 = 3 x 35 - 5: the last cell needs no gap
        {104, 40, 30, 0, 5, 0, 2}, // 104 - 2 x 35 = 34, not 30: no third
        {100, 40, 0, 0, 0, 0, 1},  // pattern = picture
        {110, 92, 110, 46, 0, 0, 2}, {64, 64, 16, 16, 0, 0, 16},
        {10, 10, 20, 20, 0, 0, 0}, // pattern larger than the picture
    };
    for (const auto& c : cases) {
        TPictureCollection coll;
        auto& item = AddPicture(coll, "P", Numbered(c.W, c.H));
        item.PatternWidth = c.PatternW;
        item.PatternHeight = c.PatternH;
        item.SkipWidth = c.SkipW;
        item.SkipHeight = c.SkipH;
        EXPECT_EQ(item.PatternCount(), c.Expected) << c.W << "x" << c.H << " / " << c.PatternW;
    }
    TPictureCollection empty;
    EXPECT_EQ(AddPicture(empty, "E", {}).PatternCount(), 0);
}

struct LayoutCase {
    const char* What;
    int32_t W, H, PatternW, PatternH, SkipW, SkipH;
    bool SystemMemory;
    int32_t Patterns;
    std::vector<std::pair<int32_t, int32_t>> SurfaceSizes; // row by row
    // a few patterns: index, rectangle on its surface, picture position of its top-left
    struct Probe {
        int32_t Index;
        TRect Rect;
        int32_t PictureX, PictureY;
    };
    std::vector<Probe> Probes;
};

using ImageLibraryLayout = Display;

TEST_F(ImageLibraryLayout, PatternsAndSurfacesAsBuilt) {
    const LayoutCase cases[] = {
        {"strip with gaps",
         100,
         40,
         30,
         0,
         5,
         0,
         false,
         3,
         {{100, 40}},
         {{0, {0, 0, 30, 40}, 0, 0}, {1, {35, 0, 65, 40}, 35, 0}, {2, {70, 0, 100, 40}, 70, 0}}},
        {"pattern = picture",
         50,
         20,
         50,
         20,
         3,
         3,
         false,
         1,
         {{50, 20}},
         {{0, {0, 0, 50, 20}, 0, 0}}},
        {"pattern sizes 0 mean the picture",
         50,
         20,
         0,
         0,
         0,
         0,
         false,
         1,
         {{50, 20}},
         {{0, {0, 0, 50, 20}, 0, 0}}},
        // cells of 100: a block is 6 cells (600 px) wide, so 1200 px make two blocks
        {"blocks of whole cells reaching 512",
         1200,
         100,
         100,
         100,
         0,
         0,
         false,
         12,
         {{600, 100}, {600, 100}},
         {{5, {500, 0, 600, 100}, 500, 0},
          {6, {0, 0, 100, 100}, 600, 0},
          {11, {500, 0, 600, 100}, 1100, 0}}},
        // cells of 300 x 200: blocks of 2 x 2 cells; the strips of the picture
        // right of and below the cells hold no pattern
        {"cells not filling the picture",
         700,
         500,
         300,
         200,
         0,
         0,
         false,
         4,
         {{600, 400}},
         {{1, {300, 0, 600, 200}, 300, 0}, {3, {300, 200, 600, 400}, 300, 200}}},
        {"tall picture in row blocks",
         10,
         1100,
         10,
         10,
         0,
         0,
         false,
         110,
         {{10, 520}, {10, 520}, {10, 60}},
         {{51, {0, 510, 10, 520}, 0, 510},
          {52, {0, 0, 10, 10}, 0, 520},
          {109, {0, 50, 10, 60}, 0, 1090}}},
        {"system memory: one surface",
         1200,
         100,
         100,
         100,
         0,
         0,
         true,
         12,
         {{1200, 100}},
         {{6, {600, 0, 700, 100}, 600, 0}, {11, {1100, 0, 1200, 100}, 1100, 0}}},
        {"system memory with gaps",
         100,
         40,
         30,
         0,
         5,
         0,
         true,
         3,
         {{100, 40}},
         {{2, {70, 0, 100, 40}, 70, 0}}},
        {"gap of minus the pattern: no patterns", 100, 40, 30, 0, -30, 0, false, 0, {}, {}},
        {"pattern larger than the picture", 10, 10, 20, 20, 0, 0, false, 0, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TPictureCollection coll;
        auto& item = AddPicture(coll, "P", Numbered(c.W, c.H));
        item.PatternWidth = c.PatternW;
        item.PatternHeight = c.PatternH;
        item.SkipWidth = c.SkipW;
        item.SkipHeight = c.SkipH;
        item.SystemMemory = c.SystemMemory;
        coll.Initialize(&draw);
        coll.Restore();
        ASSERT_EQ(item.PatternCount(), c.Patterns);
        EXPECT_EQ(item.PlannedPatternCount(), c.Patterns);

        std::vector<const TDirectDrawSurface*> surfaces;
        for (int32_t i = 0; i < item.PatternCount(); ++i) {
            const auto* s = item.PatternSurface(i);
            ASSERT_NE(s, nullptr);
            if (std::find(surfaces.begin(), surfaces.end(), s) == surfaces.end())
                surfaces.push_back(s);
        }
        ASSERT_EQ(surfaces.size(), c.SurfaceSizes.size());
        for (size_t i = 0; i < surfaces.size(); ++i) {
            EXPECT_EQ(surfaces[i]->Width(), c.SurfaceSizes[i].first) << "surface " << i;
            EXPECT_EQ(surfaces[i]->Height(), c.SurfaceSizes[i].second) << "surface " << i;
        }
        for (const auto& p : c.Probes) {
            EXPECT_EQ(item.PatternRect(p.Index), p.Rect) << "pattern " << p.Index;
            const auto* s = item.PatternSurface(p.Index);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->Row(p.Rect.Top)[p.Rect.Left], item.Picture.At(p.PictureX, p.PictureY))
                << "pattern " << p.Index << " shows the wrong part of the picture";
        }
    }
}

TEST_F(ImageLibraryLayout, SurfacesAreKeyedWithTheTransparentColourAndReKeyed) {
    TPictureCollection coll;
    auto& item = AddPicture(coll, "P", Numbered(40, 10));
    item.PatternWidth = 10;
    item.SetTransparentColor(0x00332211); // 0x00BBGGRR
    coll.Initialize(&draw);
    coll.Restore();
    EXPECT_EQ(item.PatternSurface(0)->ColorKey(), 0x112233u);
    item.SetTransparentColor(0x8000000F); // system colour: button face
    EXPECT_EQ(item.PatternSurface(3)->ColorKey(), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(0x80000005), 0xFFFFFFu);
    uint32_t c = 0;
    ASSERT_TRUE(IdentToColor("clfuchsia", c));
    EXPECT_EQ(c, 0xFF00FFu);
    EXPECT_FALSE(IdentToColor("clNoSuchColour", c));
}

TEST_F(ImageLibraryLayout, DrawsCopyTheRightPatternAndIgnoreBadIndices) {
    TPictureCollection coll;
    auto& item = AddPicture(coll, "P", Numbered(30, 10));
    item.PatternWidth = 10;
    item.Transparent = false;
    TDirectDrawSurface dest(40, 20);

    item.Draw(&dest, 0, 0, 1);
    EXPECT_EQ(dest.Row(0)[0], 0u) << "drawn before the collection was initialised";

    coll.Initialize(&draw);
    coll.Restore();
    for (int32_t bad : {-1, 3, 1000}) {
        item.Draw(&dest, 0, 0, bad);
        item.DrawBlended(&dest, {0, 0, 10, 10}, bad, 255);
        item.DrawRotated(&dest, 5, 5, 10, 10, bad, 0.5, 0.5, 0);
    }
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 40; ++x)
            ASSERT_EQ(dest.Row(y)[x], 0u) << "bad index drew at " << x << "," << y;

    item.Draw(&dest, 5, 2, 1);
    EXPECT_EQ(dest.Row(2)[5], item.Picture.At(10, 0));
    EXPECT_EQ(dest.Row(11)[14], item.Picture.At(19, 9));
    EXPECT_EQ(dest.Row(2)[15], 0u);

    TDirectDrawSurface blended(10, 10);
    item.DrawBlended(&blended, {0, 0, 10, 10}, 2, 0);
    EXPECT_EQ(blended.Row(0)[0], 0u) << "alpha 0 draws nothing";
    item.DrawBlended(&blended, {0, 0, 10, 10}, 2, 255);
    EXPECT_EQ(blended.Row(3)[4], item.Picture.At(24, 3));
}

TEST_F(ImageLibraryLayout, TransparentDrawLeavesOutTheKeyColour) {
    TPictureCollection coll;
    TPicture pic;
    pic.Width = 2;
    pic.Height = 1;
    pic.Pixels = {0xFF00FF, 0x123456};
    auto& item = AddPicture(coll, "P", pic);
    item.SetTransparentColor(0xFF00FF);
    coll.Initialize(&draw);
    coll.Restore();
    TDirectDrawSurface dest(2, 1);
    dest.Fill(0x777777);
    item.Draw(&dest, 0, 0, 0);
    EXPECT_EQ(dest.Row(0)[0], 0x777777u);
    EXPECT_EQ(dest.Row(0)[1], 0x123456u);
}

TEST(ImageLibraryInit, NeedsAnInitialisedDisplay) {
    TPictureCollection coll;
    AddPicture(coll, "P", Numbered(4, 4));
    TNullVideoOutput output;
    TDXDraw draw(&output);
    for (TDXDraw* d : {static_cast<TDXDraw*>(nullptr), &draw}) {
        try {
            coll.Initialize(d);
            FAIL();
        } catch (const EPictureCollectionError& e) {
            EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
        }
    }
    coll.Restore();
    EXPECT_FALSE(coll.Items(0).Initialized());
    EXPECT_EQ(coll.Items(0).PatternSurface(0), nullptr);
}

// The library follows its display: built on initialisation, released on
// finalisation, rebuilt after lost surfaces, detached when the display goes.
TEST(ImageLibraryList, FollowsTheDisplaysNotifications) {
    TNullVideoOutput output;
    auto draw = std::make_unique<TDXDraw>(&output);
    TDXImageList list;
    AddPicture(list.Items, "P", Numbered(20, 10)).PatternWidth = 10;
    list.SetDXDraw(draw.get());
    EXPECT_FALSE(list.Items.Items(0).Initialized());

    draw->Initialize();
    auto& item = list.Items.Items(0);
    ASSERT_TRUE(item.Initialized());
    ASSERT_EQ(item.PatternCount(), 2);
    const TDirectDrawSurface* before = item.PatternSurface(0);
    ASSERT_NE(before, nullptr);

    output.LoseSurfaces();
    EXPECT_TRUE(draw->IsReadyToDraw());
    ASSERT_NE(item.PatternSurface(0), nullptr) << "rebuilt after the restore";

    draw->Finalize();
    EXPECT_FALSE(item.Initialized());
    EXPECT_EQ(item.PatternSurface(0), nullptr);
    EXPECT_EQ(list.Items.Display(), nullptr);

    draw->Initialize();
    EXPECT_TRUE(item.Initialized());
    EXPECT_EQ(item.PatternCount(), 2);

    draw.reset();
    EXPECT_EQ(list.DXDraw(), nullptr);
    EXPECT_FALSE(item.Initialized());
}

TEST(ImageLibraryList, AttachingToAnInitialisedDisplayBuildsAtOnce) {
    TNullVideoOutput output;
    TDXDraw draw(&output);
    draw.Initialize();
    TDXImageList list;
    AddPicture(list.Items, "P", Numbered(20, 10));
    list.SetDXDraw(&draw);
    EXPECT_NE(list.Items.Items(0).PatternSurface(0), nullptr);
}

TEST(ImageLibraryFile, WrittenLibraryReadsBackWithEveryField) {
    TPictureCollection out;
    out.ColorTable[0] = 7;
    out.ColorTable[1023] = 9;
    auto& a = AddPicture(out, "Caf\xE9", Numbered(7, 3));
    a.PatternWidth = 3;
    a.PatternHeight = -1;
    a.SkipWidth = 1;
    a.SkipHeight = -2;
    a.SystemMemory = true;
    a.Transparent = false;
    a.SetTransparentColor(0x8000000F);
    AddPicture(out, std::string(300, 'L'), {});

    const auto bytes = out.WriteLibraryBytes();
    std::istringstream stream(std::string(bytes.begin(), bytes.end()));
    TPictureCollection in;
    AddPicture(in, "Old", Numbered(1, 1));
    in.ReadLibraryStream(stream);
    ASSERT_EQ(in.Count(), 2) << "reading replaces the items";
    EXPECT_EQ(in.ColorTable, out.ColorTable);
    const auto& b = in.Items(0);
    EXPECT_EQ(b.Name(), "Caf\xE9");
    EXPECT_EQ(b.PatternWidth, 3);
    EXPECT_EQ(b.PatternHeight, -1);
    EXPECT_EQ(b.SkipWidth, 1);
    EXPECT_EQ(b.SkipHeight, -2);
    EXPECT_TRUE(b.SystemMemory);
    EXPECT_FALSE(b.Transparent);
    EXPECT_EQ(b.TransparentColor(), 0x8000000Fu);
    EXPECT_EQ(b.Picture.Pixels, a.Picture.Pixels);
    EXPECT_EQ(in.Items(1).Name(), std::string(300, 'L'));
    EXPECT_TRUE(in.Items(1).Picture.IsEmpty());
    EXPECT_TRUE(in.Items(1).Transparent);
}

TEST(ImageLibraryFile, LoadingWhileAttachedBuildsThePatterns) {
    TPictureCollection out;
    AddPicture(out, "P", Numbered(20, 10)).PatternWidth = 5;
    const auto bytes = out.WriteLibraryBytes();

    TNullVideoOutput output;
    TDXDraw draw(&output);
    TDXImageList list;
    list.SetDXDraw(&draw);
    draw.Initialize();
    list.Items.ReadLibraryBytes(bytes);
    EXPECT_TRUE(list.Items.Find("p").Initialized());
    EXPECT_EQ(list.Items.Find("p").PatternCount(), 4);
    EXPECT_NE(list.Items.Find("p").PatternSurface(3), nullptr);
}

TEST(ImageLibraryFile, ErrorsCarryTheLibraryTexts) {
    TPictureCollection coll;
    try {
        coll.LoadLibraryFile("missing.dxg");
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file \"missing.dxg\". No such file or directory");
    }
    std::istringstream garbage("not a library");
    EXPECT_THROW(coll.ReadLibraryStream(garbage), EFilerError);
}

} // namespace
} // namespace vantorel

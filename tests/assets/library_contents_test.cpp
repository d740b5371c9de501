// The generated picture libraries hold every picture the game looks up, in the
// library the game looks in, cut into the patterns and sizes that the game's
// fixed offsets, pivots and screen positions rely on.
#include "base/errors.hpp"
#include "engine/image_library.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace vantorel {
namespace {

struct Range {
    int32_t Lo;
    int32_t Hi;
    bool Holds(int32_t v) const { return v >= Lo && v <= Hi; }
};
constexpr Range Exact(int32_t n) {
    return {n, n};
}
/// A suggested size: anything within half of it either way.
constexpr Range About(int32_t n) {
    return {n - n / 2, n + n / 2};
}
constexpr Range AtLeast(int32_t n) {
    return {n, INT32_MAX};
}
constexpr Range Between(int32_t lo, int32_t hi) {
    return {lo, hi};
}

enum class Look {
    Any,    // no demand on transparency
    Keyed,  // drawn with its transparent colour, and some pixels are that colour
    Opaque, // drawn without a transparent colour
    Empty,  // every pixel is the transparent colour
};

struct Entry {
    int Library; // 1 or 2
    std::string Name;
    Range Width; // one pattern's
    Range Height;
    Range Patterns;
    Look Kind = Look::Any;
};

const Range One = Exact(1);
const Range Animated = Between(2, 32);

const std::vector<Entry>& Table() {
    static const std::vector<Entry> table = [] {
        std::vector<Entry> t = {
            // library 1: menus and windows
            {1, "UpLogo", About(780), About(125), One},
            {1, "DownLogo", About(215), About(60), One},
            {1, "Opt_Bg", About(760), About(420), One},
            {1, "Opt_1_1", About(90), About(30), One},
            {1, "Opt_1_2", About(90), About(30), One},
            {1, "Opt_2_1", About(90), About(30), One},
            {1, "Opt_2_2", About(90), About(30), One},
            {1, "Opt_3_1", About(90), About(30), One},
            {1, "Opt_3_2", About(90), About(30), One},
            {1, "OptB_I", About(760), About(60), One},
            {1, "OptB_A", About(760), About(60), One},
            {1, "Back_I", About(150), About(44), One},
            {1, "Back_A", About(150), About(44), One},
            {1, "HS_Bg", About(760), About(385), One},
            {1, "Clear_HS_I", About(160), About(36), One},
            {1, "Clear_HS_A", About(160), About(36), One},
            {1, "Visit_WHS_I", About(370), About(40), One},
            {1, "Visit_WHS_A", About(370), About(40), One},
            {1, "Help1", About(760), About(385), One},
            {1, "Help2", About(760), About(385), One},
            {1, "Help3", About(760), About(385), One},
            {1, "Prev_I", About(150), About(40), One},
            {1, "Prev_A", About(150), About(40), One},
            {1, "Next_I", About(150), About(40), One},
            {1, "Next_A", About(150), About(40), One},
            {1, "Window", Exact(380), Exact(220), One},
            {1, "Yes", About(70), About(36), Exact(2)},
            {1, "No", About(70), About(36), Exact(2)},
            {1, "Cursor", About(14), About(4), One},
            {1, "Plasma", About(32), About(32), One},
            // library 2: the game world
            {2, "SkyTile", Exact(160), Exact(600), One, Look::Opaque},
            {2, "Hills1", AtLeast(800), Exact(115), One, Look::Keyed},
            {2, "Hills2", AtLeast(800), Exact(105), One, Look::Keyed},
            {2, "Hills3", AtLeast(800), Exact(102), One, Look::Keyed},
            // the nose, where the laser leaves, is near (107, 20)
            {2, "Player", Between(108, 130), Between(36, 60), Exact(3), Look::Keyed},
            {2, "EngineFire", Exact(32), Exact(64), Animated, Look::Keyed},
            // the enemies' flame offsets also suit a flame as tall as the player's
            {2, "EngineFireR", About(24), Between(10, 64), Animated, Look::Keyed},
            {2, "LaserFire", About(48), About(60), Animated, Look::Keyed},
            {2, "PlasmaFire", About(48), About(60), Animated, Look::Keyed},
            {2, "LaserFireR", About(40), About(40), Animated, Look::Keyed},
            {2, "PlasmaFireR", About(40), About(40), Animated, Look::Keyed},
            {2, "PlayerShield", About(30), About(60), Between(1, 32), Look::Keyed},
            {2, "Explosion", About(96), About(96), Between(12, 16), Look::Keyed},
            {2, "PlasmaExplosion", About(48), About(48), Animated, Look::Keyed},
            {2, "LaserBullet", About(24), About(4), One, Look::Keyed},
            {2, "PlasmaBullet", About(20), About(20), Between(1, 32), Look::Keyed},
            {2, "RailBullet", About(24), About(6), Between(1, 32), Look::Keyed},
            {2, "RailBulletR", About(24), About(6), Between(1, 32), Look::Keyed},
            {2, "RailBulletBody", About(32), About(6), Between(1, 32), Look::Keyed},
            {2, "RocketBullet", About(28), About(10), One, Look::Keyed},
            {2, "CosmoStorm", About(60), About(34), One, Look::Keyed},
            {2, "UFO", About(64), About(34), One, Look::Keyed},
            {2, "Rocketer", About(76), About(40), One, Look::Keyed},
            {2, "Truck", About(150), About(80), One, Look::Keyed},
            {2, "Destroyer", About(36), About(24), One, Look::Keyed},
            {2, "Mega", About(150), About(90), One, Look::Keyed},
            // the barrels turn about fixed pivots inside pictures of the base's size
            {2, "GroundGunBase", Exact(74), Exact(90), One, Look::Keyed},
            {2, "GroundGunTrunk", Exact(74), Exact(90), One, Look::Keyed},
            {2, "GroundRocketBase", Exact(60), Exact(100), One, Look::Keyed},
            {2, "GroundRocketTrunk", Exact(60), Exact(100), One, Look::Keyed},
            {2, "Panels", Exact(800), Exact(75), One, Look::Any},
            {2, "PanelLife", About(32), About(22), One, Look::Keyed},
            {2, "Null", Exact(40), Exact(40), One, Look::Empty},
        };
        for (int i = 1; i <= 6; ++i)
            for (const char* suffix : {"_I", "_A"})
                t.push_back({1, "MM_" + std::to_string(i) + suffix, About(390), About(44), One});
        for (const char* bonus : {"BonusLaserGun", "BonusPlasmaGun", "BonusRocketGun",
                                  "BonusRailGun", "BonusShield", "BonusMegaBomb", "BonusLife",
                                  "BonusLaserGun_2x", "BonusPlasmaGun_3x", "BonusRocketGun_2x"})
            t.push_back({2, bonus, Exact(40), Exact(40), One, Look::Keyed});
        return t;
    }();
    return table;
}

/// Pixels are 0x00RRGGBB; the item's transparent colour is 0x00BBGGRR.
TPixel KeyPixel(const TPictureCollectionItem& item) {
    const uint32_t c = item.TransparentColor();
    return static_cast<TPixel>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

class LibraryContents : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string dir = std::string(VANTOREL_BUILD_DIR) + "/Data/Res/";
        const char* files[2] = {"Res1.dxg", "Res2.dxg"};
        for (int i = 0; i < 2; ++i) {
            libs_[i] = std::make_unique<TPictureCollection>();
            try {
                libs_[i]->LoadLibraryFile(dir + files[i]);
                errors_[i].clear();
            } catch (const std::exception& e) {
                errors_[i] = std::string(files[i]) + ": " + e.what();
            }
        }
    }
    static void TearDownTestSuite() {
        for (auto& lib : libs_)
            lib.reset();
    }

    /// Each test fails once for each library that could not be read.
    void SetUp() override {
        for (const std::string& error : errors_)
            if (!error.empty())
                ADD_FAILURE() << error;
    }

    /// The item the game would find, or null: with a test failure naming it when the
    /// library was read but lacks it.
    static TPictureCollectionItem* Find(int library, const std::string& name) {
        const int i = library - 1;
        if (!errors_[i].empty())
            return nullptr;
        try {
            return &libs_[i]->Find(name);
        } catch (const EPictureCollectionError& e) {
            ADD_FAILURE() << "library " << library << ": " << e.what();
            return nullptr;
        }
    }

    static std::unique_ptr<TPictureCollection> libs_[2];
    static std::string errors_[2];
};
std::unique_ptr<TPictureCollection> LibraryContents::libs_[2];
std::string LibraryContents::errors_[2];

TEST_F(LibraryContents, EveryPictureIsThereWithItsSizeAndPatterns) {
    for (const Entry& e : Table()) {
        SCOPED_TRACE(std::string("library ") + std::to_string(e.Library) + " picture " + e.Name);
        TPictureCollectionItem* item = Find(e.Library, e.Name);
        if (!item)
            continue;
        const TPicture& pic = item->Picture;
        if (pic.IsEmpty()) {
            ADD_FAILURE() << "the picture is empty";
            continue;
        }
        EXPECT_TRUE(e.Width.Holds(item->Width())) << "pattern width " << item->Width();
        EXPECT_TRUE(e.Height.Holds(item->Height())) << "pattern height " << item->Height();
        EXPECT_TRUE(e.Patterns.Holds(item->PatternCount())) << "patterns " << item->PatternCount();
        // No partial strip is left over: the patterns tile the whole picture.
        EXPECT_EQ(0, (pic.Width + item->SkipWidth) % (item->Width() + item->SkipWidth))
            << "picture " << pic.Width << " wide, patterns " << item->Width();
        EXPECT_EQ(0, (pic.Height + item->SkipHeight) % (item->Height() + item->SkipHeight))
            << "picture " << pic.Height << " high, patterns " << item->Height();

        const TPixel key = KeyPixel(*item);
        size_t keyed = 0;
        for (TPixel p : pic.Pixels)
            keyed += (p & 0xFFFFFF) == key;
        switch (e.Kind) {
        case Look::Any:
            break;
        case Look::Keyed:
            EXPECT_TRUE(item->Transparent);
            EXPECT_GT(keyed, 0u) << "no pixel has the transparent colour";
            break;
        case Look::Opaque:
            EXPECT_FALSE(item->Transparent);
            break;
        case Look::Empty:
            EXPECT_TRUE(item->Transparent);
            EXPECT_EQ(keyed, pic.Pixels.size());
            break;
        }
    }
}

TEST_F(LibraryContents, RailBeamPartsAnimateTogether) {
    // A rail beam draws its body segments and its head with one shared pattern index.
    TPictureCollectionItem* body = Find(2, "RailBulletBody");
    for (const char* head : {"RailBullet", "RailBulletR"}) {
        TPictureCollectionItem* item = Find(2, head);
        if (body && item) {
            EXPECT_EQ(item->PatternCount(), body->PatternCount()) << head;
        }
    }
}

TEST_F(LibraryContents, ButtonLooksShareOneSizeAndDiffer) {
    // A menu button's hit rectangle is its current picture's, so both looks must agree.
    const char* stems[] = {"MM_1", "MM_2", "MM_3",     "MM_4",      "MM_5", "MM_6",
                           "OptB", "Back", "Clear_HS", "Visit_WHS", "Prev", "Next"};
    for (const char* stem : stems) {
        SCOPED_TRACE(stem);
        TPictureCollectionItem* normal = Find(1, std::string(stem) + "_I");
        TPictureCollectionItem* lit = Find(1, std::string(stem) + "_A");
        if (!normal || !lit)
            continue;
        EXPECT_EQ(normal->Width(), lit->Width());
        EXPECT_EQ(normal->Height(), lit->Height());
        EXPECT_NE(normal->Picture.Pixels, lit->Picture.Pixels) << "the highlight does not show";
    }
    // Yes and No keep both looks in one picture: pattern 0 highlighted, pattern 1 normal.
    for (const char* name : {"Yes", "No"}) {
        SCOPED_TRACE(name);
        TPictureCollectionItem* item = Find(1, name);
        if (!item || item->PatternCount() != 2)
            continue;
        const TPicture& pic = item->Picture;
        const bool sideBySide = pic.Width == 2 * item->Width();
        bool differ = false;
        for (int32_t y = 0; y < item->Height() && !differ; ++y)
            for (int32_t x = 0; x < item->Width() && !differ; ++x) {
                const int32_t x1 = sideBySide ? x + item->Width() : x;
                const int32_t y1 = sideBySide ? y : y + item->Height();
                differ = pic.Pixels[size_t(y * pic.Width + x)] !=
                         pic.Pixels[size_t(y1 * pic.Width + x1)];
            }
        EXPECT_TRUE(differ) << "both patterns look the same";
    }
}

struct Placed {
    const char* Name; // library 1
    int32_t X;
    int32_t Y;
};

struct Screen {
    const char* Title;
    std::vector<Placed> Solid; // buttons and logos: none may overlap another
    std::vector<Placed> Under; // panels: on screen, may lie under the others
};

TEST_F(LibraryContents, ScreensFitAndTheirButtonsDoNotOverlap) {
    const Placed upLogo{"UpLogo", 10, 25};
    const Placed downLogo{"DownLogo", 573, 530};
    const std::vector<Screen> screens = {
        {"main menu",
         {upLogo,
          downLogo,
          {"MM_1_I", 205, 156},
          {"MM_2_I", 205, 205},
          {"MM_3_I", 205, 260},
          {"MM_4_I", 205, 311},
          {"MM_5_I", 205, 360},
          {"MM_6_I", 205, 407}},
         {}},
        {"options",
         {downLogo,
          {"OptB_I", 20, 224},
          {"OptB_I", 20, 290},
          {"OptB_I", 20, 361},
          {"OptB_I", 20, 429},
          {"Back_I", 18, 546}},
         {{"Opt_Bg", 20, 113}}},
        {"high scores",
         {downLogo, {"Clear_HS_I", 320, 502}, {"Visit_WHS_I", 213, 531}, {"Back_I", 18, 546}},
         {{"HS_Bg", 20, 113}}},
        {"help",
         {downLogo, {"Prev_I", 18, 501}, {"Next_I", 469, 501}, {"Back_I", 18, 546}},
         {{"Help1", 20, 113}, {"Help2", 20, 113}, {"Help3", 20, 113}}},
        {"question window", {{"Yes", 304, 353}, {"No", 427, 353}}, {{"Window", 210, 200}}},
    };
    const TRect screenRect = Bounds(0, 0, 800, 600);
    auto rectOf = [&](const Placed& p, TRect& r) {
        TPictureCollectionItem* item = Find(1, p.Name);
        if (!item)
            return false;
        r = Bounds(p.X, p.Y, item->Width(), item->Height());
        return true;
    };
    for (const Screen& s : screens) {
        SCOPED_TRACE(s.Title);
        std::vector<std::pair<const char*, TRect>> solid;
        for (const Placed& p : s.Solid) {
            TRect r;
            if (rectOf(p, r))
                solid.emplace_back(p.Name, r);
        }
        for (const Placed& p : s.Under) {
            TRect r;
            if (rectOf(p, r)) {
                EXPECT_EQ(Intersect(r, screenRect), r) << p.Name << " leaves the screen";
            }
        }
        for (size_t i = 0; i < solid.size(); ++i) {
            EXPECT_EQ(Intersect(solid[i].second, screenRect), solid[i].second)
                << solid[i].first << " leaves the screen";
            for (size_t j = i + 1; j < solid.size(); ++j)
                EXPECT_FALSE(Overlap(solid[i].second, solid[j].second))
                    << solid[i].first << " overlaps " << solid[j].first;
        }
    }
    // The modal window's buttons sit inside its frame.
    TRect frame, yes, no;
    if (rectOf({"Window", 210, 200}, frame) && rectOf({"Yes", 304, 353}, yes) &&
        rectOf({"No", 427, 353}, no)) {
        EXPECT_EQ(Intersect(frame, yes), yes);
        EXPECT_EQ(Intersect(frame, no), no);
    }
}

TEST_F(LibraryContents, LitOptionWordsStayInTheirRowsAndApart) {
    // Where the options screen draws the current values over its panel, per row:
    // the lit words for the two values, and the row selector's top.
    struct Row {
        Placed Left;
        Placed Right;
        int32_t SelectorY;
    };
    const Row rows[] = {
        {{"Opt_1_1", 195, 226}, {"Opt_1_2", 370, 226}, 224},
        {{"Opt_2_1", 170, 294}, {"Opt_2_2", 255, 294}, 290},
        {{"Opt_3_1", 179, 363}, {"Opt_3_2", 264, 363}, 361},
    };
    TPictureCollectionItem* selector = Find(1, "OptB_I");
    if (!selector)
        return;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Left.Name);
        TPictureCollectionItem* left = Find(1, row.Left.Name);
        TPictureCollectionItem* right = Find(1, row.Right.Name);
        if (!left || !right)
            continue;
        const TRect a = Bounds(row.Left.X, row.Left.Y, left->Width(), left->Height());
        const TRect b = Bounds(row.Right.X, row.Right.Y, right->Width(), right->Height());
        EXPECT_FALSE(Overlap(a, b)) << "one lit word covers part of the other";
        const TRect band = Bounds(20, row.SelectorY, selector->Width(), selector->Height());
        EXPECT_EQ(Intersect(a, band), a) << row.Left.Name << " pokes out of its row";
        EXPECT_EQ(Intersect(b, band), b) << row.Right.Name << " pokes out of its row";
    }
}

TEST_F(LibraryContents, ScrollingLayersWrapWithoutASeam) {
    // The sky and the hills repeat side by side: the last column must run on into the
    // first about as smoothly as most neighbouring columns inside the picture do.
    for (const char* name : {"SkyTile", "Hills1", "Hills2", "Hills3"}) {
        SCOPED_TRACE(name);
        TPictureCollectionItem* item = Find(2, name);
        if (!item || item->Picture.IsEmpty())
            continue;
        const TPicture& pic = item->Picture;
        auto columnDistance = [&](int32_t xa, int32_t xb) {
            double sum = 0;
            for (int32_t y = 0; y < pic.Height; ++y) {
                const TPixel a = pic.Pixels[size_t(y * pic.Width + xa)];
                const TPixel b = pic.Pixels[size_t(y * pic.Width + xb)];
                for (int shift : {0, 8, 16})
                    sum += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
            }
            return sum / pic.Height;
        };
        std::vector<double> steps;
        for (int32_t x = 0; x + 1 < pic.Width; ++x)
            steps.push_back(columnDistance(x, x + 1));
        std::sort(steps.begin(), steps.end());
        const double usual = steps[steps.size() * 9 / 10];
        const double seam = columnDistance(pic.Width - 1, 0);
        EXPECT_LE(seam, usual * 3 + 4) << "seam " << seam << ", usual step inside " << usual;
    }
}

} // namespace
} // namespace vantorel

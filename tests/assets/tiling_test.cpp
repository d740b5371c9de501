// The scrolling layers of the world library repeat side by side (the sky seven
// tiles across, each hill layer two), so the last column of each picture must run
// on into its first without a visible seam, and the hills must be see-through
// exactly where the sky shows above them.
#include "engine/image_library.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

namespace vantorel {
namespace {

class WorldTiling : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library_ = new TPictureCollection;
        library_->LoadLibraryFile(std::string(VANTOREL_BUILD_DIR) + "/Data/Res/Res2.dxg");
    }
    static void TearDownTestSuite() {
        delete library_;
        library_ = nullptr;
    }
    static const TPictureCollectionItem& Item(const char* name) { return library_->Find(name); }

    static TPictureCollection* library_;
};

TPictureCollection* WorldTiling::library_ = nullptr;

TPixel At(const TPicture& p, int32_t x, int32_t y) {
    return p.Pixels[static_cast<size_t>(y) * static_cast<size_t>(p.Width) + static_cast<size_t>(x)];
}

/// Sum of the absolute differences of the three colour channels.
int Diff(TPixel a, TPixel b) {
    int sum = 0;
    for (int shift : {0, 8, 16})
        sum += std::abs(static_cast<int>((a >> shift) & 0xFFu) -
                        static_cast<int>((b >> shift) & 0xFFu));
    return sum;
}

/// Mean over the rows of the summed channel differences between two columns.
double ColumnDifference(const TPicture& p, int32_t xa, int32_t xb) {
    double sum = 0;
    for (int32_t y = 0; y < p.Height; ++y)
        sum += Diff(At(p, xa, y), At(p, xb, y));
    return sum / p.Height;
}

/// First row from the top that is not the key colour in column x (Height when none).
int32_t Ridge(const TPicture& p, int32_t x, TPixel key) {
    int32_t y = 0;
    while (y < p.Height && At(p, x, y) == key)
        ++y;
    return y;
}

TEST_F(WorldTiling, WrapColumnIsNoRougherThanTheColumnsInside) {
    for (const char* name : {"SkyTile", "Hills1", "Hills2", "Hills3"}) {
        SCOPED_TRACE(name);
        const TPicture& pic = Item(name).Picture;
        ASSERT_GE(pic.Width, 2);
        double inside = 0;
        for (int32_t x = 0; x + 1 < pic.Width; ++x)
            inside += ColumnDifference(pic, x, x + 1);
        inside /= pic.Width - 1;
        const double seam = ColumnDifference(pic, pic.Width - 1, 0);
        // A seam is a step well above the typical one; a small allowance covers the
        // spread of the steps themselves.
        EXPECT_LE(seam, inside * 1.5 + 2.0)
            << "wrap step " << seam << ", mean step inside " << inside;
    }
}

TEST_F(WorldTiling, HillsAreKeyedAboveTheRidgeAndSolidBelowIt) {
    for (const char* name : {"Hills1", "Hills2", "Hills3"}) {
        SCOPED_TRACE(name);
        const TPictureCollectionItem& item = Item(name);
        ASSERT_TRUE(item.Transparent);
        const TPicture& pic = item.Picture;
        const TPixel key = ColorToPixel(item.TransparentColor());
        std::vector<int32_t> ridge;
        for (int32_t x = 0; x < pic.Width; ++x)
            ridge.push_back(Ridge(pic, x, key));

        // Sky shows above the hills somewhere; below the deepest valley the ground
        // is solid (trees may let sky through between their branches above it).
        const int32_t deepest = *std::max_element(ridge.begin(), ridge.end());
        EXPECT_GT(deepest, 0) << "no transparent sky part";
        ASSERT_LT(deepest, pic.Height) << "a column is all sky";
        for (int32_t y = deepest; y < pic.Height; ++y)
            for (int32_t x = 0; x < pic.Width; ++x)
                ASSERT_NE(At(pic, x, y), key)
                    << "a hole of sky inside the ground at " << x << "," << y;

        // The silhouette continues across the wrap: its step there is no larger than
        // the usual steps between neighbouring columns (trees make the few largest).
        std::vector<int32_t> steps;
        for (size_t x = 0; x + 1 < ridge.size(); ++x)
            steps.push_back(std::abs(ridge[x + 1] - ridge[x]));
        std::sort(steps.begin(), steps.end());
        const int32_t usual = steps[steps.size() * 95 / 100];
        EXPECT_LE(std::abs(ridge.front() - ridge.back()), usual * 2 + 1);
    }
}

// The grain of the ground hides a colour step at the wrap from a mean over the
// rows, and a few cropped columns barely move the silhouette. Row by row, though,
// the wrap of a seamless layer is just one more neighbour step, no larger than the
// row's middle step about as often as not; a wrap that skips columns compares
// pixels a few apart, and those differ more than neighbours in most rows.
TEST_F(WorldTiling, HillsWrapStepIsAnOrdinaryNeighbourStepRowByRow) {
    for (const char* name : {"Hills1", "Hills2", "Hills3"}) {
        SCOPED_TRACE(name);
        const TPictureCollectionItem& item = Item(name);
        const TPicture& pic = item.Picture;
        const TPixel key = ColorToPixel(item.TransparentColor());
        int32_t deepest = 0;
        for (int32_t x = 0; x < pic.Width; ++x)
            deepest = std::max(deepest, Ridge(pic, x, key));
        ASSERT_LT(deepest + 20, pic.Height) << "too little solid ground to judge the wrap";

        int rows = 0;
        int rougher = 0;
        std::vector<int> steps;
        for (int32_t y = deepest; y < pic.Height; ++y) {
            steps.clear();
            for (int32_t x = 0; x + 1 < pic.Width; ++x)
                steps.push_back(Diff(At(pic, x, y), At(pic, x + 1, y)));
            const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
            std::nth_element(steps.begin(), middle, steps.end());
            ++rows;
            if (Diff(At(pic, pic.Width - 1, y), At(pic, 0, y)) > *middle)
                ++rougher;
        }
        EXPECT_LE(rougher * 2, rows) << "the wrap step is above the row's middle step in "
                                     << rougher << " of " << rows << " rows";
    }
}

} // namespace
} // namespace vantorel

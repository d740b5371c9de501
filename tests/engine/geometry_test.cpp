#include "engine/geometry.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(Geometry, RoundHalfEvenSendsExactHalvesToTheEvenNeighbour) {
    const struct {
        double value;
        int32_t rounded;
    } cases[] = {
        {2.5, 2},    {3.5, 4},    {-0.5, 0},  {-1.5, -2},   {-2.5, -2},  {0.5, 0},
        {0.4999, 0}, {2.5001, 3}, {-2.6, -3}, {799.5, 800}, {-9.5, -10}, {7.0, 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

TEST(Geometry, RectanglesOverlapOnlyWhenTheyShareInteriorPixels) {
    const TRect a{0, 0, 10, 10};
    const struct {
        TRect b;
        bool overlap;
    } cases[] = {
        {{10, 0, 20, 10}, false}, {{-10, 0, 0, 10}, false},  {{0, 10, 10, 20}, false},
        {{0, -10, 10, 0}, false}, {{10, 10, 20, 20}, false}, {{9, 9, 20, 20}, true},
        {{-5, -5, 1, 1}, true},   {{2, 2, 3, 3}, true},      {{-5, -5, 50, 50}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Overlap(a, c.b), c.overlap) << c.b.Left << "," << c.b.Top;
        EXPECT_EQ(Overlap(c.b, a), c.overlap) << c.b.Left << "," << c.b.Top;
    }
    EXPECT_EQ(Intersect(a, TRect{5, -3, 20, 4}), (TRect{5, 0, 10, 4}));
    EXPECT_EQ(Bounds(3, 4, 5, 6), (TRect{3, 4, 8, 10}));
}

} // namespace
} // namespace vantorel

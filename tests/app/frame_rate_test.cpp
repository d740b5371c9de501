#include "app/frame_rate.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

TEST(FrameQuantities, UseTheRefreshRateUnlessTheMeasuredRateIsWellBelowOrJustAbove) {
    struct Case {
        int32_t Refresh;
        int32_t Measured;
        int32_t RateUsed;
        int32_t FrameMs;
    };
    // clang-format off
    const Case cases[] = {
        {60, 0, 60, 16},  // not measured yet: the refresh rate alone
        {60, 57, 60, 16}, {60, 58, 60, 16}, {60, 59, 60, 16}, {60, 60, 60, 16},
        {60, 61, 61, 16}, {60, 62, 62, 16},
        {60, 63, 60, 16}, {60, 500, 60, 16},
        {60, 56, 56, 17}, {60, 45, 45, 22}, {60, 1, 1, 1000},
        {85, 0, 85, 11}, {85, 80, 80, 12}, {144, 120, 120, 8},
        {0, 0, 60, 16},   // a refresh rate the platform could not tell
    };
    // clang-format on
    for (const Case& c : cases) {
        const TFrameQuantities q = FrameQuantities(c.Refresh, c.Measured);
        EXPECT_DOUBLE_EQ(q.FrameFactor, 85.0 / c.RateUsed) << c.Refresh << "/" << c.Measured;
        EXPECT_EQ(q.FrameMs, c.FrameMs) << c.Refresh << "/" << c.Measured;
        EXPECT_EQ(q.Rate, c.RateUsed) << c.Refresh << "/" << c.Measured;
    }
}

} // namespace
} // namespace vantorel

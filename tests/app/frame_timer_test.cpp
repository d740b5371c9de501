#include "app/frame_timer.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace vantorel {
namespace {

/// A timer on a clock the test moves by hand, recording every LagCount fired.
struct TimerFixture : ::testing::Test {
    uint32_t now = 5000;
    std::vector<int32_t> lags;
    TDXTimer timer{[this] { return now; }};

    void SetUp() override {
        timer.OnTimer = [this](int32_t lag) { lags.push_back(lag); };
    }
    /// Advances the clock by stepMs and runs one idle pass, n times.
    void Run(int n, uint32_t stepMs) {
        for (int i = 0; i < n; ++i) {
            now += stepMs;
            timer.Idle();
        }
    }
};

TEST_F(TimerFixture, LagCountIsTheTimeSinceTheLastFrameAndAtLeastOne) {
    timer.Start(true);
    Run(1, 16);
    Run(1, 0);
    Run(1, 33);
    EXPECT_EQ(lags, (std::vector<int32_t>{16, 1, 33}));
}

TEST_F(TimerFixture, LagCountIsRightAcrossTheClockWrap) {
    now = 0xFFFFFFF0u;
    timer.Start(true);
    Run(1, 32); // the clock wraps to 16
    EXPECT_EQ(now, 16u);
    EXPECT_EQ(lags, (std::vector<int32_t>{32}));
}

TEST_F(TimerFixture, IntervalHoldsFramesBackAndDividesTheLag) {
    timer.Interval = 10;
    timer.Start(true);
    Run(1, 5);
    EXPECT_TRUE(lags.empty());
    Run(1, 5);  // 10 ms since the start
    Run(1, 35); // 35 ms -> 3 intervals
    EXPECT_EQ(lags, (std::vector<int32_t>{1, 3}));
}

TEST_F(TimerFixture, FrameRateIsMeasuredOverAWholeSecondRoundedHalfToEven) {
    timer.Start(true);
    struct Case {
        int Frames;
        uint32_t LastStep;
        int32_t Rate;
    };
    // Frames - 1 passes at no time, then one at LastStep: Frames frames in LastStep ms.
    const Case cases[] = {
        {60, 1000, 60},  {121, 2000, 60}, // 60.5 -> 60
        {123, 2000, 62},                  // 61.5 -> 62
        {57, 1010, 56},                   // 56.44
        {1, 999, 0},                      // under a second: no new measurement
    };
    int32_t lastRate = 0;
    for (const Case& c : cases) {
        Run(c.Frames - 1, 0);
        Run(1, c.LastStep);
        if (c.Rate != 0)
            lastRate = c.Rate;
        EXPECT_EQ(timer.FrameRate(), lastRate) << c.Frames << " frames in " << c.LastStep;
    }
}

TEST_F(TimerFixture, FrameRateIsZeroBeforeTheFirstSecond) {
    timer.Start(true);
    Run(50, 16);
    EXPECT_EQ(timer.FrameRate(), 0);
    Run(13, 16); // 63 frames in 1008 ms -> 62.5 -> 62
    EXPECT_EQ(timer.FrameRate(), 62);
}

TEST_F(TimerFixture, StopsWhileInactiveAndResumesWithASmallLag) {
    timer.Start(true);
    Run(3, 16);
    timer.ApplicationDeactivated();
    EXPECT_FALSE(timer.Registered());
    Run(5, 2000); // ten seconds away
    EXPECT_EQ(lags.size(), 3u);

    timer.ApplicationActivated();
    Run(1, 16);
    ASSERT_EQ(lags.size(), 4u);
    EXPECT_EQ(lags.back(), 16);
    // The rate measurement restarted too: no reading is taken from the absence.
    EXPECT_EQ(timer.FrameRate(), 0);
}

TEST_F(TimerFixture, StartedWhileInactiveWaitsForActivation) {
    timer.Start(false);
    Run(3, 16);
    EXPECT_TRUE(lags.empty());
    timer.ApplicationActivated();
    Run(1, 16);
    EXPECT_EQ(lags, (std::vector<int32_t>{16}));
}

TEST_F(TimerFixture, WithoutActiveOnlyFramesRunInTheBackground) {
    timer.ActiveOnly = false;
    timer.Start(false);
    timer.ApplicationDeactivated();
    Run(2, 16);
    EXPECT_EQ(lags.size(), 2u);
}

TEST_F(TimerFixture, DisabledTimerFiresNothingUntilEnabledAgain) {
    timer.Start(true);
    timer.SetEnabled(false);
    Run(2, 16);
    EXPECT_TRUE(lags.empty());
    timer.SetEnabled(true);
    Run(1, 16);
    EXPECT_EQ(lags, (std::vector<int32_t>{16}));
}

} // namespace
} // namespace vantorel

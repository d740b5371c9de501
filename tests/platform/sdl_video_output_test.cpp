#include "platform/sdl_video_output.hpp"

#include "platform/sdl_system.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace vantorel {
namespace {

// Runs on SDL's dummy video driver, where nothing waits for a vertical blank:
// presenting itself must keep frames from coming faster than the refresh rate.
TEST(SdlVideoOutput, PresentNeverOutrunsTheRefreshRate) {
    TSdlSystem system;
    TSdlVideoOutput output("Vantorel v.2.0", 800, 600);
    ASSERT_TRUE(output.Open(false, 800, 600));
    const int32_t hz = output.RefreshRate();
    ASSERT_GT(hz, 1);

    std::vector<uint32_t> pixels(800 * 600, 0x336699);
    const TFrameView frame{pixels.data(), 800, 800, 600};
    constexpr int kFrames = 13;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i)
        output.Present(frame, true);
    const auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // Twelve whole refresh periods at least, less a millisecond of slack each.
    EXPECT_GE(ms, (kFrames - 1) * (1000.0 / hz - 1.0));

    // Without the wait frames go as fast as they are made.
    const auto start2 = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i)
        output.Present(frame, false);
    const auto ms2 =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start2)
            .count();
    EXPECT_LT(ms2, 3 * 1000.0 / hz + 200.0);
}

TEST(SdlVideoOutput, FullScreenAndBackReturnsToTheSamePlacement) {
    TSdlSystem system;
    TSdlVideoOutput output("Vantorel v.2.0", 800, 600);
    ASSERT_TRUE(output.Open(false, 800, 600));
    SDL_SetWindowPosition(output.Window(), 37, 41);
    int x0 = 0, y0 = 0;
    SDL_GetWindowPosition(output.Window(), &x0, &y0);

    ASSERT_TRUE(output.Open(true, 800, 600));
    EXPECT_TRUE(output.IsFullScreen());
    ASSERT_TRUE(output.Open(false, 800, 600));
    EXPECT_FALSE(output.IsFullScreen());
    int x1 = -1, y1 = -1, w = 0, h = 0;
    SDL_GetWindowPosition(output.Window(), &x1, &y1);
    SDL_GetWindowSize(output.Window(), &w, &h);
    EXPECT_EQ(x1, x0);
    EXPECT_EQ(y1, y0);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_TRUE(output.IsOpen());
    output.Close();
    EXPECT_FALSE(output.IsOpen());
}

} // namespace
} // namespace vantorel

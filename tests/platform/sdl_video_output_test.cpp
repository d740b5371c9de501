#include "platform/sdl_video_output.hpp"

#include "platform/sdl_system.hpp"
#include "platform/sdl_window.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
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

// The window is resizable; each present scales the picture to the window's size
// of the moment, letterboxed, and the pointer mapping follows.
TEST(SdlVideoOutput, ThePictureFollowsTheWindowsSizeWithBlackBars) {
    TSdlSystem system;
    TSdlVideoOutput output("Vantorel v.2.0", 800, 600);
    ASSERT_TRUE(output.Open(false, 800, 600));
    EXPECT_NE(SDL_GetWindowFlags(output.Window()) & SDL_WINDOW_RESIZABLE, 0u);
    std::vector<uint32_t> pixels(800 * 600, 0x336699);
    const TFrameView frame{pixels.data(), 800, 800, 600};
    output.Present(frame, false);
    EXPECT_EQ(output.Fit().Target(), (TFitRect{0, 0, 800, 600}));

    struct TCase {
        int32_t W, H;
        TFitRect Target;
    };
    for (const TCase& c :
         {TCase{1280, 720, {160, 0, 960, 720}}, TCase{640, 720, {0, 120, 640, 480}},
          TCase{1600, 1200, {0, 0, 1600, 1200}}}) {
        SDL_SetWindowSize(output.Window(), c.W, c.H);
        SDL_PumpEvents();
        output.Present(frame, false);
        EXPECT_EQ(output.Fit().Target(), c.Target) << c.W << "x" << c.H;
        EXPECT_EQ(GameWindowFit(), output.Fit());
        // The picture where the fit says, black bars around it.
        SDL_Renderer* renderer = SDL_GetRenderer(output.Window());
        ASSERT_NE(renderer, nullptr);
        const auto at = [&](int x, int y) {
            uint32_t p = 0;
            const SDL_Rect one{x, y, 1, 1};
            SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_RGB888, &p, 4);
            return p & 0xFFFFFF;
        };
        EXPECT_EQ(at(c.Target.X + 1, c.Target.Y + 1), 0x336699u);
        EXPECT_EQ(at(c.Target.X + c.Target.W - 2, c.Target.Y + c.Target.H - 2), 0x336699u);
        if (c.Target.X > 0) {
            EXPECT_EQ(at(c.Target.X - 1, c.H / 2), 0u);
        }
        if (c.Target.Y > 0) {
            EXPECT_EQ(at(c.W / 2, c.Target.Y - 1), 0u);
        }
    }
}

TEST(SdlVideoOutput, SdlRenderDriverChoosesTheRenderer) {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    struct THintGuard {
        ~THintGuard() { SDL_ResetHint(SDL_HINT_RENDER_DRIVER); }
    } guard;
    {
        TSdlSystem system;
        TSdlVideoOutput output("Vantorel v.2.0", 800, 600);
        ASSERT_TRUE(output.Open(false, 800, 600));
        const std::string said = output.Describe();
        EXPECT_EQ(said.rfind("software (SDL_RENDER_DRIVER=software)", 0), 0u) << said;
    }
}

} // namespace
} // namespace vantorel

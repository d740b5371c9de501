// A game's world for gameplay tests: the null display, both real picture
// libraries of the data build, the sprite engine with the run-long sky, the real
// pools and flow, and a fake shell in place of the main window.
#pragma once

#include "engine/display.hpp"
#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "engine/surface.hpp"
#include "gameplay/game_flow.hpp"
#include "gameplay/game_pools.hpp"
#include "objects/game_sprites.hpp"
#include "objects/scroll_background.hpp"
#include "platform/sdl_font_renderer.hpp"
#include "platform/video_output.hpp"
#include "state/game_context.hpp"
#include "support/fake_shell.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace vantorel {

struct GameWorldFixture : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(
            fonts.LoadAliases(std::string(VANTOREL_TEST_DATA) + "/../../assets/fonts/fonts.conf"));
        images1.SetDXDraw(&draw);
        images2.SetDXDraw(&draw);
        sprites.SetDXDraw(&draw);
        draw.Initialize();
        const std::string res = std::string(VANTOREL_BUILD_DIR) + "/Data/Res/";
        images1.Items.LoadLibraryFile(res + "Res1.dxg");
        images2.Items.LoadLibraryFile(res + "Res2.dxg");
        state.Timing.FrameMs = 16;
        fixed.Sky = new TScrollBackground(ctx, 2, "SkyTile", 7, 1);
    }
    void TearDown() override {
        sprites.SetDXDraw(nullptr);
        images2.SetDXDraw(nullptr);
        images1.SetDXDraw(nullptr);
    }

    /// NewGame, then the banner closed as the main window would close it.
    void StartPlaying() {
        flow.NewGame();
        state.Cursor.WindowKind = TWindowKind::None;
        shell.Calls.clear();
    }

    /// The first and last column in x0..x1 of rows y0..y1 holding a non-black
    /// pixel; first > last when there is none.
    std::pair<int32_t, int32_t> Ink(int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
        TDirectDrawSurface& s = *draw.Surface();
        int32_t first = x1 + 1, last = x0 - 1;
        for (int32_t y = y0; y <= y1; ++y)
            for (int32_t x = x0; x <= x1; ++x)
                if ((s.Row(y)[x] & 0xFFFFFFu) != 0) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        return {first, last};
    }

    TNullVideoOutput output;
    TSdlFontRenderer fonts;
    TDXDraw draw{&output, &fonts};
    TDXImageList images1, images2;
    TDXSpriteEngine sprites;
    TGameState state;
    TFakeShell shell{state};
    TGameContext ctx{state, sprites, images1, images2, shell, shell};
    TGameSprites fixed;
    TGamePools pools{ctx, fixed};
    TGameFlow flow{ctx, pools};
};

} // namespace vantorel

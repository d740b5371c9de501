// The objects drawn on a real back surface: the rail beams, the rotated barrel of
// a gun and the blended ship, checked by the pixels they leave.
#include "engine/display.hpp"
#include "engine/surface.hpp"
#include "objects/game_sprites.hpp"
#include "objects/object_world.hpp"
#include "objects/scroll_background.hpp"
#include "platform/video_output.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

constexpr TPixel kBackground = 0x000000;

class ObjectDrawing : public ::testing::Test {
protected:
    ObjectDrawing() {
        for (TDXImageList* list : {&images1, &images2}) {
            const int n = list == &images1 ? 1 : 2;
            list->Items.LoadLibraryFile(std::string(VANTOREL_BUILD_DIR) + "/Data/Res/Res" +
                                        std::to_string(n) + ".dxg");
            list->SetDXDraw(&display);
        }
        sprites.SetDXDraw(&display);
        display.Initialize();
        state.Cursor.ScreenCode = TScreenCode::Game;
        state.Random.Seed(3);
    }

    /// Clears the back surface and draws every sprite.
    TDirectDrawSurface& Draw() {
        display.Surface()->Fill(kBackground);
        sprites.Draw();
        return *display.Surface();
    }
    /// Pixels of row y from x0 to x1 (exclusive) that are not the background.
    static int32_t Painted(const TDirectDrawSurface& s, int32_t y, int32_t x0, int32_t x1) {
        int32_t n = 0;
        for (int32_t x = x0; x < x1; ++x)
            n += s.Row(y)[x] != kBackground ? 1 : 0;
        return n;
    }

    TNullVideoOutput output;
    TDXDraw display{&output};
    TDXImageList images1;
    TDXImageList images2;
    TDXSpriteEngine sprites;
    TGameState state;
    TFakeShell shell{state};
    TGameContext context{state, sprites, images1, images2, shell, shell};
    TGameSprites fixed;
    TGamePools pools{context, fixed};
};

TEST_F(ObjectDrawing, APlayersRailBeamRunsFromTheShipToItsHead) {
    auto* player = new TPlayer(context, pools);
    fixed.Player = player;
    player->Visible = false;
    player->X = 100;
    player->Y = 200;
    TBullet* rail = pools.AddBullet(500, 400, 9, 16, 0, TBulletKind::Rail, TBulletOwner::Player, 0);
    ASSERT_NE(rail, nullptr);
    const TDirectDrawSurface& s = Draw();
    // The beam follows the ship's height, not the head's.
    const int32_t y = 200 + 18 + rail->Height / 2;
    EXPECT_GT(Painted(s, y, 210, 500), 250);
    EXPECT_EQ(Painted(s, y, 0, 200), 0);
    EXPECT_EQ(Painted(s, y, 540, 800), 0);
}

TEST_F(ObjectDrawing, AnEnemyRailBeamRunsLeftFromItsShooter) {
    pools.AddMonster(600, 0, 6, 5);
    TMonster* mega = pools.Monster(1);
    mega->Visible = false;
    for (TMyImageSprite* s : mega->Flames)
        if (s != nullptr)
            s->Visible = false;
    mega->X = 600;
    mega->Y = 100;
    pools.AddBullet(200, 300, 7, -10, 0, TBulletKind::Rail, TBulletOwner::Enemy, mega->Slot);
    const TDirectDrawSurface& s = Draw();
    const int32_t y = 100 + 46 + 2;
    EXPECT_GT(Painted(s, y, 240, 540), 250);
    EXPECT_EQ(Painted(s, y, 620, 800), 0);
}

TEST_F(ObjectDrawing, AGunsBarrelTurnsWithItsAim) {
    pools.AddGroundGun(300, 380, 6, 0);
    TGroundGun* gun = pools.GroundGun(1);
    auto paintedLeftAndRight = [&](int32_t aim) {
        gun->Aim = aim;
        const TDirectDrawSurface& s = Draw();
        // Beside the base (x 300..374), where only a tilted barrel reaches.
        int32_t left = 0;
        int32_t right = 0;
        for (int32_t y = 380; y < 470; ++y) {
            left += Painted(s, y, 200, 300);
            right += Painted(s, y, 374, 480);
        }
        return std::pair{left, right};
    };
    const auto [leftA, rightA] = paintedLeftAndRight(-48);
    const auto [leftB, rightB] = paintedLeftAndRight(48);
    EXPECT_GT(leftA, rightA);
    EXPECT_GT(rightB, leftB);
}

TEST_F(ObjectDrawing, TheShipFadesInBlended) {
    auto* player = new TPlayer(context, pools);
    fixed.Player = player;
    player->X = 300;
    player->Y = 300;
    player->AlphaMode = true;
    const TRect box{300, 300, 300 + player->Width, 300 + player->Height};
    auto brightness = [&](int32_t alpha) {
        player->Alpha = alpha;
        const TDirectDrawSurface& s = Draw();
        int64_t sum = 0;
        for (int32_t y = box.Top; y < box.Bottom; ++y)
            for (int32_t x = box.Left; x < box.Right; ++x) {
                const TPixel p = s.Row(y)[x];
                sum += (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
            }
        return sum;
    };
    EXPECT_EQ(brightness(0), 0);
    const int64_t half = brightness(128);
    const int64_t full = brightness(255);
    EXPECT_GT(half, 0);
    EXPECT_GT(full, half);
}

TEST_F(ObjectDrawing, TheMenusShowTheStillSceneOverTheSky) {
    new TScrollBackground(context, 2, "SkyTile", 7, 1);
    state.Cursor.ScreenCode = TScreenCode::MainMenu;
    const TDirectDrawSurface& menu = Draw();
    const TPixel hill = menu.Row(590)[400];
    const TPixel ship = menu.Row(221 + 20)[30 + 50];
    state.Cursor.ScreenCode = TScreenCode::Game;
    const TDirectDrawSurface& game = Draw();
    EXPECT_NE(game.Row(590)[400], hill);
    EXPECT_NE(game.Row(221 + 20)[30 + 50], ship);
}

} // namespace
} // namespace vantorel

#include "gameplay/game_flow.hpp"

#include "gameplay/game_screen.hpp"
#include "gameplay/game_world_fixture.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

using TCalls = std::vector<std::string>;
using GameFlow = GameWorldFixture;

TCalls WithoutSounds(const TCalls& calls) {
    TCalls out;
    for (const std::string& c : calls)
        if (c.rfind("PlaySound", 0) != 0)
            out.push_back(c);
    return out;
}

TEST_F(GameFlow, NewGameBuildsThePlayFieldAndOpensTheFirstBanner) {
    state.Progress.Score = 4321;
    state.Progress.Lives = 0;
    state.Progress.Level = 9;
    state.Cursor.ItemIndex = 3;
    state.Cursor.FirstItem = 1;
    state.Cursor.LastItem = 6;
    state.Cursor.ScreenCode = TScreenCode::None;
    state.Progress.MonsterTimer = 555; // the spawn timers of the last game do not carry over
    state.Progress.GunTimer = 1234;
    state.Progress.BonusTimer = 77;

    flow.NewGame();

    EXPECT_EQ(WithoutSounds(shell.Calls), (TCalls{"PlayMusicForScreen", "OpenWindow 6"}));
    EXPECT_EQ(state.Cursor.ScreenCode, TScreenCode::Game);
    EXPECT_EQ(state.Cursor.WindowKind, TWindowKind::LevelBanner);
    EXPECT_EQ(state.Cursor.FirstItem, 1);
    EXPECT_EQ(state.Cursor.LastItem, 0);
    EXPECT_EQ(state.Cursor.ItemIndex, 0);
    EXPECT_EQ(state.Progress.Level, 1);
    EXPECT_EQ(state.Progress.MonstersLeft, 10);
    EXPECT_EQ(state.Progress.EnemyTypeCount, 1);
    EXPECT_EQ(state.Progress.BonusTypeCount, 3);
    EXPECT_FALSE(state.Progress.LevelFinishing);
    EXPECT_EQ(state.Progress.Score, 0);
    EXPECT_EQ(state.Progress.Lives, 3);
    EXPECT_EQ(state.Progress.MonsterTimer, 0);
    EXPECT_EQ(state.Progress.GunTimer, 0);
    EXPECT_EQ(state.Progress.BonusTimer, 0);

    ASSERT_NE(fixed.Player, nullptr);
    EXPECT_NE(fixed.EngineFlame1, nullptr);
    EXPECT_NE(fixed.EngineFlame2, nullptr);
    EXPECT_NE(fixed.MuzzleFlash, nullptr);
    EXPECT_NE(fixed.ShieldSprite, nullptr);

    EXPECT_EQ(fixed.Sky->Image(), &images2.Items.Find("SkyTile"));
    EXPECT_EQ(fixed.Sky->ScrollX, -1);
    struct Layer {
        const char* Picture;
        double Y;
        int32_t Z, ScrollX;
    };
    const Layer layers[3] = {
        {"Hills1", 485, 5, -4}, {"Hills2", 495, 4, -3}, {"Hills3", 498, 3, -2}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(layers[i].Picture);
        const TScrollBackground* hills = fixed.Hills[i];
        ASSERT_NE(hills, nullptr);
        EXPECT_EQ(hills->Image(), &images2.Items.Find(layers[i].Picture));
        EXPECT_EQ(hills->MapWidth(), 2);
        EXPECT_EQ(hills->MapHeight(), 1);
        EXPECT_EQ(hills->X, 0.0);
        EXPECT_EQ(hills->Y, layers[i].Y);
        EXPECT_EQ(hills->Z(), layers[i].Z);
        EXPECT_EQ(hills->ScrollX, layers[i].ScrollX);
    }

    struct Piece {
        const char* Name;
        TMyImageSprite* Sprite;
        const char* Picture;
        double X, Y;
        int32_t Z;
    };
    const TPictureCollectionItem& null = images2.Items.Find("Null");
    const Piece pieces[] = {
        {"panel", fixed.Panel, "Panels", 0, 0, 9},
        {"life 1", fixed.LifeIcons[0], "PanelLife", 336, 41, 10},
        {"life 2", fixed.LifeIcons[1], "PanelLife", 373, 41, 10},
        {"life 3", fixed.LifeIcons[2], "PanelLife", 410, 41, 10},
        {"weapon", fixed.WeaponIcon, "Null", 567 - null.Width() / 2.0, 39 - null.Height() / 2.0,
         10},
    };
    for (const Piece& p : pieces) {
        SCOPED_TRACE(p.Name);
        ASSERT_NE(p.Sprite, nullptr);
        EXPECT_EQ(p.Sprite->Image(), &images2.Items.Find(p.Picture));
        EXPECT_EQ(p.Sprite->ImageListNo, 2);
        EXPECT_DOUBLE_EQ(p.Sprite->X, p.X);
        EXPECT_DOUBLE_EQ(p.Sprite->Y, p.Y);
        EXPECT_EQ(p.Sprite->Z(), p.Z);
        EXPECT_TRUE(p.Sprite->Visible);
    }
}

// AddMonster raises the Truck and Mega flags; a game must not inherit them, or its
// other enemies would never enter and its guns come at half chance.
TEST_F(GameFlow, NewGameClearsTheTruckAndMegaFlags) {
    state.Progress.TruckPresent = true;
    state.Progress.MegaPresent = true;
    flow.NewGame();
    EXPECT_FALSE(state.Progress.TruckPresent);
    EXPECT_FALSE(state.Progress.MegaPresent);
}

TEST_F(GameFlow, EndGameRemovesEverySpriteOfTheGameButTheSky) {
    const int32_t before = sprites.Engine.SpriteCount();
    StartPlaying();
    pools.AddMonster(900, 0, 6, 3);
    pools.AddMonster(900, 0, 6, 0);
    pools.AddGroundGun(900, 490, 6, 0);
    pools.AddBonus(900, 200, 9, 4);
    pools.AddBullet(100, 100, 10, 8, 0, TBulletKind::Rocket, TBulletOwner::Player, 0);
    ASSERT_TRUE(state.Progress.TruckPresent);

    flow.EndGame();

    EXPECT_EQ(state.Cursor.ScreenCode, TScreenCode::None);
    EXPECT_EQ(sprites.Engine.SpriteCount(), before);
    EXPECT_TRUE(sprites.Engine.DeadList().empty());
    EXPECT_EQ(pools.MonsterCount() + pools.GroundGunCount() + pools.BonusCount() +
                  pools.BulletCount(),
              0);
    EXPECT_FALSE(state.Progress.TruckPresent);
    // Nothing is left pointing at freed sprites.
    EXPECT_EQ(fixed.Player, nullptr);
    EXPECT_EQ(fixed.EngineFlame1, nullptr);
    EXPECT_EQ(fixed.EngineFlame2, nullptr);
    EXPECT_EQ(fixed.MuzzleFlash, nullptr);
    EXPECT_EQ(fixed.ShieldSprite, nullptr);
    EXPECT_EQ(fixed.Panel, nullptr);
    EXPECT_EQ(fixed.WeaponIcon, nullptr);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fixed.LifeIcons[i], nullptr);
        EXPECT_EQ(fixed.Hills[i], nullptr);
    }
    EXPECT_NE(fixed.Sky, nullptr);

    // A second game builds on a clean field.
    flow.NewGame();
    EXPECT_EQ(state.Progress.Level, 1);
    flow.EndGame();
    EXPECT_EQ(sprites.Engine.SpriteCount(), before);
}

TEST_F(GameFlow, EscIsServedBeforePause) {
    struct Case {
        const char* Name;
        bool Esc, P;
        TCalls Expected;
    };
    const Case cases[] = {
        {"nothing", false, false, {}},
        {"Esc", true, false, {"OpenWindow 2"}},
        {"P", false, true, {"OpenWindow 5"}},
        {"both", true, true, {"OpenWindow 2", "OpenWindow 5 dropped"}},
    };
    StartPlaying();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        state.Cursor.WindowKind = TWindowKind::None;
        shell.Calls.clear();
        state.Input.SetPressed(TInputKey::Esc, c.Esc);
        state.Input.SetPressed(TInputKey::P, c.P);
        flow.GameTick(16);
        EXPECT_EQ(WithoutSounds(shell.Calls), c.Expected);
    }
}

TEST_F(GameFlow, MeetingTheQuotaClearsTheFieldAndTheNextBannerFollowsTheFadeOut) {
    StartPlaying();
    fixed.Player->BecomeSolid(); // done fading in
    pools.AddMonster(700, 0, 6, 0);
    pools.AddMonster(750, 0, 6, 1);
    pools.AddGroundGun(600, 490, 6, 1);
    pools.AddBonus(500, 200, 9, 6);
    pools.AddBullet(100, 100, 10, 8, 0, TBulletKind::Laser, TBulletOwner::Player, 0);
    state.Progress.MonstersLeft = 0;

    flow.GameTick(16);

    EXPECT_TRUE(state.Progress.LevelFinishing);
    EXPECT_EQ(pools.BonusCount(), 0);
    EXPECT_EQ(pools.BulletCount(), 0);
    for (int32_t slot = 1; slot <= 2; ++slot) {
        ASSERT_NE(pools.Monster(slot), nullptr);
        EXPECT_TRUE(pools.Monster(slot)->Exploding) << slot;
    }
    ASSERT_NE(pools.GroundGun(1), nullptr);
    EXPECT_TRUE(pools.GroundGun(1)->Destroyed);
    EXPECT_TRUE(fixed.Player->Leaving);
    EXPECT_EQ(state.Progress.Score, 0); // explosions at a level's end score nothing
    EXPECT_EQ(state.Progress.MonstersLeft, 0);

    // The ship fades from 255 by 2 a frame: at or below 0 after 128 more frames.
    int32_t frames = 0;
    while (state.Cursor.WindowKind == TWindowKind::None && frames < 1000) {
        flow.GameTick(16);
        ++frames;
    }
    EXPECT_EQ(frames, 128);
    EXPECT_EQ(WithoutSounds(shell.Calls), (TCalls{"OpenWindow 6"}));
    EXPECT_EQ(state.Progress.Level, 2);
    EXPECT_EQ(state.Progress.MonstersLeft, 20);
    EXPECT_EQ(state.Progress.EnemyTypeCount, 2);
    EXPECT_FALSE(state.Progress.LevelFinishing);
    EXPECT_FALSE(fixed.Player->Leaving);
}

TEST_F(GameFlow, TheScreenRunsTheGameAndKeepsThePanelUnderWindows) {
    TGameScreen screen(flow);
    EXPECT_EQ(screen.Code(), TScreenCode::Game);
    StartPlaying();
    state.Progress.Score = 12345;

    draw.Surface()->Fill(0);
    screen.DrawUnderWindow();
    const auto [first, last] = Ink(150, 299, 30, 62);
    EXPECT_LE(first, last) << "score not drawn under the window";

    state.Input.SetPressed(TInputKey::P, true);
    screen.Tick(16);
    EXPECT_EQ(state.Cursor.WindowKind, TWindowKind::Pause);

    // A window that ended the game in its tick leaves no panel to draw.
    flow.EndGame();
    draw.Surface()->Fill(0);
    screen.DrawUnderWindow();
    const auto [f2, l2] = Ink(0, 799, 0, 80);
    EXPECT_GT(f2, l2);
}

} // namespace
} // namespace vantorel

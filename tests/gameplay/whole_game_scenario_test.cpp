// Whole games through the real main loop, headless, from fixed seeds: enemies
// entering and dying, the end of a level, weapons, the shield, lives running out,
// pause and Esc, full pools, and a gamepad as the only controller. Where waiting
// for chance would take too long an object is put in place through the pools, but
// everything after that happens in real frames.
#include "gameplay/scenario_steps.hpp"

#include <gtest/gtest.h>

#include <set>

namespace vantorel {
namespace {

using testing::AddMonster;
using testing::AddTarget;
using testing::Collect;
using testing::PlayerBullets;
using testing::TScenario;

class WholeGame : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnterGame(game);
        testing::PlayUntilFlying(game);
    }
    TGameState& S() { return game.State(); }
    TGamePools& Pools() { return game.Form->Pools(); }
    TPlayer& Ship() { return *game.Fixed().Player; }
    /// The key held from the next frame on.
    void Hold(TKey key) { game.KeyDown(game.Frames(), key); }
    void Release(TKey key) { game.KeyUp(game.Frames(), key); }
    /// The key down for the next frame only.
    void Press(TKey key) { game.Press(game.Frames(), key); }

    TScenario game{7};
};

TEST_F(WholeGame, MonstersEnterFromTheRightAndTheOnesShotDownScoreAndCount) {
    TGamePools& pools = Pools();
    ASSERT_TRUE(game.RunUntil([&] { return pools.MonsterCount() > 0; }, 600));
    TMonster* entered = pools.Monster(1);
    ASSERT_NE(entered, nullptr);
    EXPECT_EQ(entered->Kind, TMonsterKind::CosmoStorm); // level 1 sends only CosmoStorms
    EXPECT_GE(entered->X, 800) << "enters from beyond the right edge";
    game.RunFrames(30);
    ASSERT_EQ(pools.Monster(1), entered);
    EXPECT_LT(entered->X, 800) << "flies in";

    // One in the ship's line of fire; the ship keeps shooting.
    TMonster* target = AddTarget(pools, Ship(), 450);
    ASSERT_NE(target, nullptr);
    const int32_t slot = target->Slot;
    Hold(TKey::Space);
    ASSERT_TRUE(game.RunUntil([&] { return target->Exploding; }, 120));
    EXPECT_GE(S().Progress.Score, 5);
    EXPECT_LE(S().Progress.MonstersLeft, 9);
    // Every level-1 kill is a CosmoStorm of 1 hit point: 5 points a kill, and
    // only kills count towards the quota (rammed ones neither score nor count).
    EXPECT_EQ(S().Progress.Score, 5 * (10 - S().Progress.MonstersLeft));

    // The explosion plays out, then the sweep takes the wreck and its flames.
    TMyImageSprite* flame = target->Flames[0];
    ASSERT_NE(flame, nullptr);
    EXPECT_FALSE(flame->Visible);
    ASSERT_TRUE(game.RunUntil([&] { return pools.Monster(slot) != target; }, 200));
    EXPECT_TRUE(pools.CheckInvariants().empty());

    game.RunFrames(200);
    EXPECT_EQ(S().Progress.Score, 5 * (10 - S().Progress.MonstersLeft));
}

TEST_F(WholeGame, TheTenthKillExplodesEveryEnemyAndLevelTwoOpensWhenTheShipHasFaded) {
    TGamePools& pools = Pools();
    TGameState& s = S();
    Hold(TKey::Space);
    // Nine kills, one target after the other.
    while (s.Progress.MonstersLeft > 1) {
        const int32_t before = s.Progress.MonstersLeft;
        TMonster* target = AddTarget(pools, Ship(), 500);
        if (target == nullptr) { // the pool is full of stragglers: let them pass
            game.RunFrames(10);
            continue;
        }
        ASSERT_TRUE(game.RunUntil([&] { return s.Progress.MonstersLeft < before; }, 300))
            << s.Progress.MonstersLeft << " left";
    }
    ASSERT_EQ(s.Progress.Level, 1);
    ASSERT_EQ(s.Progress.MonstersLeft, 1);

    // The field before the last kill: enemies off the line of fire, a gun, a bonus.
    TMonster* high = AddMonster(pools, 700, 0, 1);
    TMonster* low = AddMonster(pools, 650, 0, 0);
    ASSERT_TRUE(high != nullptr && low != nullptr);
    low->Y = 450;
    low->Ammo = 0;
    pools.AddGroundGun(600, 490, 6, 1);
    pools.AddBonus(700, 470, 9, 6);
    ASSERT_NE(AddTarget(pools, Ship(), 500), nullptr);

    ASSERT_TRUE(game.RunUntil([&] { return s.Progress.MonstersLeft <= 0; }, 300));
    EXPECT_TRUE(s.Progress.LevelFinishing);
    EXPECT_TRUE(Ship().Leaving);
    EXPECT_EQ(pools.BulletCount(), 0);
    EXPECT_EQ(pools.BonusCount(), 0);
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot) {
        if (const TMonster* m = pools.Monster(slot)) {
            EXPECT_TRUE(m->Exploding) << "monster slot " << slot;
        }
    }
    ASSERT_GT(pools.GroundGunCount(), 0);
    for (int32_t slot = 1; slot <= IGameWorld::kGroundGunSlots; ++slot) {
        if (const TGroundGun* g = pools.GroundGun(slot)) {
            EXPECT_TRUE(g->Destroyed) << "gun slot " << slot;
        }
    }
    const int32_t score = s.Progress.Score;

    // The ship fades from 255 by 2 a frame; the banner opens when it reaches 0.
    int32_t frames = 0;
    while (s.Cursor.WindowKind == TWindowKind::None && frames < 400) {
        game.RunFrames(1);
        ++frames;
        EXPECT_EQ(pools.BulletCount(), 0) << "a leaving ship does not fire";
    }
    EXPECT_EQ(frames, 128);
    EXPECT_EQ(s.Cursor.WindowKind, TWindowKind::LevelBanner);
    EXPECT_EQ(s.Progress.Level, 2);
    EXPECT_EQ(s.Progress.MonstersLeft, 20);
    EXPECT_EQ(s.Progress.Score, score) << "explosions at a level's end score nothing";
    EXPECT_EQ(pools.MonsterCount(), 0) << "the wrecks have been swept";
    EXPECT_EQ(pools.GroundGunCount(), 0);
    EXPECT_DOUBLE_EQ(Ship().X, TPlayer::kStartX);
    EXPECT_DOUBLE_EQ(Ship().Y, TPlayer::kStartY);
}

TEST_F(WholeGame, WeaponsReplaceEachOtherAndRunOutBackToTheLaser) {
    testing::QuietField(S());
    TPlayer& ship = Ship();
    TGamePools& pools = Pools();
    auto held = [&] {
        std::set<int32_t> slots;
        for (int32_t slot = 1; slot <= 8; ++slot)
            if (ship.WeaponOn[static_cast<size_t>(slot)])
                slots.insert(slot);
        return slots;
    };
    EXPECT_EQ(held(), (std::set<int32_t>{1}));
    EXPECT_EQ(testing::WeaponIconShown(game.Fixed()), "Null") << "the laser is never shown";

    Collect(game, 1); // plasma gun
    EXPECT_EQ(held(), (std::set<int32_t>{2}));
    Hold(TKey::Space);
    game.RunFrames(2);
    EXPECT_EQ(testing::WeaponIconShown(game.Fixed()), "BonusPlasmaGun");
    EXPECT_GT(PlayerBullets(pools, TBulletKind::Plasma), 0);
    EXPECT_EQ(PlayerBullets(pools, TBulletKind::Laser), 0);

    Collect(game, 4); // the shield goes beside the weapon
    EXPECT_EQ(held(), (std::set<int32_t>{2, 5}));
    EXPECT_TRUE(game.Fixed().ShieldSprite->Visible);

    Collect(game, 9); // double rocket replaces the plasma gun
    EXPECT_EQ(held(), (std::set<int32_t>{5, 8}));
    game.RunFrames(25);
    EXPECT_EQ(testing::WeaponIconShown(game.Fixed()), "BonusRocketGun_2x");
    EXPECT_GE(PlayerBullets(pools, TBulletKind::Rocket), 2);

    // The rockets run out: for one frame only the shield is held and shown,
    // then the laser is back with its full 15 seconds.
    ship.WeaponTime[8] = 100;
    ASSERT_TRUE(game.RunUntil([&] { return !ship.WeaponOn[8]; }, 20));
    EXPECT_EQ(held(), (std::set<int32_t>{5}));
    EXPECT_EQ(testing::WeaponIconShown(game.Fixed()), "BonusShield");
    game.RunFrames(1);
    EXPECT_EQ(held(), (std::set<int32_t>{1, 5}));
    EXPECT_GE(ship.WeaponTime[1], 15000 - 2 * S().Timing.FrameMs);

    // The shield runs out too.
    ship.WeaponTime[5] = 50;
    ASSERT_TRUE(game.RunUntil([&] { return !ship.WeaponOn[5]; }, 20));
    EXPECT_FALSE(game.Fixed().ShieldSprite->Visible);
    game.RunFrames(25);
    EXPECT_EQ(held(), (std::set<int32_t>{1}));
    EXPECT_EQ(testing::WeaponIconShown(game.Fixed()), "Null");
    EXPECT_GT(PlayerBullets(pools, TBulletKind::Laser), 0);
}

struct TRamCase {
    const char* Name;
    int32_t Kind;
    bool Shielded;
    bool ShipSurvives;
};

class Ramming : public WholeGame, public ::testing::WithParamInterface<TRamCase> {};

// Only the small Destroyer is stopped by the shield; whatever rams the ship
// explodes, and a rammed monster neither scores nor counts.
TEST_P(Ramming, TheShieldStopsOnlyADestroyer) {
    const TRamCase& c = GetParam();
    testing::QuietField(S());
    if (c.Shielded)
        Collect(game, 4);
    TPlayer& ship = Ship();
    TMonster* m = AddMonster(Pools(), static_cast<int32_t>(ship.X + 30),
                             static_cast<int32_t>(ship.Y + 5), c.Kind);
    ASSERT_NE(m, nullptr);
    m->Y = ship.Y + 5;
    ASSERT_TRUE(game.RunUntil([&] { return m->Exploding; }, 5));
    EXPECT_EQ(ship.State != TPlayerState::Exploding, c.ShipSurvives);
    EXPECT_EQ(S().Progress.Lives, c.ShipSurvives ? 3 : 2);
    EXPECT_EQ(S().Progress.Score, 0);
    EXPECT_EQ(S().Progress.MonstersLeft, 10);
}

INSTANTIATE_TEST_SUITE_P(WholeGame, Ramming,
                         ::testing::Values(TRamCase{"ShieldedDestroyer", 4, true, true},
                                           TRamCase{"BareDestroyer", 4, false, false},
                                           TRamCase{"ShieldedCosmoStorm", 0, true, false}),
                         [](const auto& param) { return std::string(param.param.Name); });

TEST_F(WholeGame, ThreeDeathsEndInGameOver) {
    testing::QuietField(S());
    TGameState& s = S();
    EXPECT_EQ(testing::LifeIconsShown(game.Fixed()), 3);
    for (int32_t death = 1; death <= 3; ++death) {
        ASSERT_TRUE(game.RunUntil([&] { return Ship().State == TPlayerState::Flying; }, 200));
        TMonster* m = AddMonster(Pools(), static_cast<int32_t>(Ship().X + 30), 0, 0);
        ASSERT_NE(m, nullptr);
        m->Y = Ship().Y + 5;
        ASSERT_TRUE(game.RunUntil([&] { return Ship().State == TPlayerState::Exploding; }, 5));
        EXPECT_EQ(s.Progress.Lives, 3 - death);
        EXPECT_EQ(testing::LifeIconsShown(game.Fixed()), 3 - death) << "after death " << death;
    }

    // One second of explosion, then "Game Over" instead of another ship.
    const int64_t died = game.Frames();
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::GameOver; }, 100));
    EXPECT_NEAR(static_cast<double>(game.Frames() - died), 1000.0 / 16, 2);
    EXPECT_EQ(s.Cursor.ScreenCode, TScreenCode::Game);
    EXPECT_EQ(s.Progress.Lives, 0);

    // Three seconds later the game ends (or asks for a name first).
    const int64_t opened = game.Frames();
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind != TWindowKind::GameOver; }, 300));
    EXPECT_NEAR(static_cast<double>(game.Frames() - opened), 3000.0 / 16, 2);
    if (s.ScoreQualifies()) {
        EXPECT_EQ(s.Cursor.WindowKind, TWindowKind::NameEntry);
    } else {
        EXPECT_NE(s.Cursor.ScreenCode, TScreenCode::Game);
        EXPECT_EQ(game.Fixed().Player, nullptr);
        EXPECT_EQ(Pools().MonsterCount() + Pools().BulletCount() + Pools().BonusCount() +
                      Pools().GroundGunCount(),
                  0);
    }
}

TEST_F(WholeGame, PauseFreezesWhatThePlayerSeesAndEscAsksBeforeLeaving) {
    TGameState& s = S();
    Press(TKey::P);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::Pause; }, 3));
    game.RunFrames(1);
    const std::vector<uint32_t> frozen = game.LastFrame();
    game.RunFrames(20);
    EXPECT_TRUE(game.LastFrame() == frozen) << "the paused picture changed";

    // Esc closes the pause as "P" does; play resumes and the picture moves.
    Press(TKey::Escape);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::None; }, 3));
    EXPECT_EQ(s.Cursor.ScreenCode, TScreenCode::Game);
    game.RunFrames(5);
    EXPECT_FALSE(game.LastFrame() == frozen);

    // Esc and "P" in one frame: only the question opens.
    Press(TKey::Escape);
    Press(TKey::P);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind != TWindowKind::None; }, 3));
    EXPECT_EQ(s.Cursor.WindowKind, TWindowKind::ExitToMenu);
    game.RunFrames(3);
    EXPECT_EQ(s.Cursor.WindowKind, TWindowKind::ExitToMenu);

    // "N": back to the game.
    Press(TKey::N);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::None; }, 3));
    EXPECT_EQ(s.Cursor.ScreenCode, TScreenCode::Game);

    // "Y": the game ends (a qualifying score would be asked for a name first).
    Press(TKey::Escape);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::ExitToMenu; }, 3));
    Press(TKey::Y);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind != TWindowKind::ExitToMenu; }, 3));
    EXPECT_NE(s.Cursor.ScreenCode, TScreenCode::Game);
    EXPECT_EQ(game.Fixed().Player, nullptr);
}

TEST_F(WholeGame, FullPoolsRefuseNewObjectsUntilASlotFrees) {
    TGameState& s = S();
    TGamePools& pools = Pools();
    testing::QuietField(s);
    s.Progress.EnemyEnabled[0] = true; // CosmoStorms only

    // Fifty enemy bolts far to the right, flying slowly in: the ship's shots find no slot.
    for (int32_t i = 0; i < IGameWorld::kBulletSlots; ++i)
        pools.AddBullet(1300, 80 + 9 * i, 6, -1, 0, TBulletKind::Laser, TBulletOwner::Enemy, 0);
    ASSERT_EQ(pools.BulletCount(), 50);
    Hold(TKey::Space);
    game.RunFrames(30);
    EXPECT_EQ(pools.BulletCount(), 50);
    EXPECT_EQ(PlayerBullets(pools, TBulletKind::Laser), 0);
    EXPECT_GT(Ship().FireCooldown, 0) << "the swallowed shot still cools the gun";
    pools.RemoveBullet(7);
    ASSERT_TRUE(game.RunUntil([&] { return pools.Bullet(7) != nullptr; }, 30));
    EXPECT_EQ(pools.Bullet(7)->Owner, TBulletOwner::Player);
    Release(TKey::Space);

    // Ten monsters parked beyond the right edge, where they never fire.
    pools.RemoveAllMonsters();
    while (pools.MonsterCount() < IGameWorld::kMonsterSlots) {
        TMonster* m = AddMonster(pools, 1300, 0, 0);
        ASSERT_NE(m, nullptr);
        m->VX = 0;
    }
    // A refused Truck leaves no trace that would hold back the other kinds.
    pools.AddMonster(900, 0, 6, 3);
    EXPECT_FALSE(s.Progress.TruckPresent);
    EXPECT_TRUE(pools.CheckInvariants().empty());

    game.RunFrames(80);
    EXPECT_EQ(pools.MonsterCount(), 10);
    EXPECT_GT(s.Progress.MonsterTimer, 1000) << "the timer keeps growing while nothing enters";
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
        EXPECT_DOUBLE_EQ(pools.Monster(slot)->X, 1300);

    // A freed slot takes the next monster that the dice let in.
    pools.RemoveMonster(4);
    ASSERT_TRUE(game.RunUntil([&] { return pools.Monster(4) != nullptr; }, 400));
    EXPECT_NE(pools.Monster(4)->X, 1300);
    EXPECT_LE(s.Progress.MonsterTimer, s.Timing.FrameMs);
}

TEST_F(WholeGame, AGamepadAloneFliesFiresAndPauses) {
    testing::QuietField(S());
    TGameState& s = S();
    TPlayer& ship = Ship();
    const double x0 = ship.X;
    const double y0 = ship.Y;

    TJoystickReading pad;
    pad.Kind = TJoystickKind::Gamepad;
    pad.X.Position = 32767; // left stick hard right
    pad.SetPadButton(TPadButton::DPadDown, true);
    game.Pad(game.Frames(), pad);
    game.RunFrames(10);
    EXPECT_GT(ship.X, x0 + 50);
    EXPECT_GT(ship.Y, y0 + 40);
    EXPECT_EQ(Pools().BulletCount(), 0);

    pad.X.Position = 0;
    pad.SetPadButton(TPadButton::DPadDown, false);
    pad.SetPadButton(TPadButton::South, true);
    game.Pad(game.Frames(), pad);
    game.RunFrames(30);
    EXPECT_GT(PlayerBullets(Pools(), TBulletKind::Laser), 0);

    // Start pauses; pressed again it resumes.
    pad.Buttons = 0;
    pad.SetPadButton(TPadButton::Start, true);
    game.Pad(game.Frames(), pad);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::Pause; }, 3));
    const double xPaused = ship.X;
    pad.SetPadButton(TPadButton::Start, false);
    pad.X.Position = -32768;
    game.Pad(game.Frames(), pad);
    game.RunFrames(10);
    EXPECT_EQ(s.Cursor.WindowKind, TWindowKind::Pause);
    EXPECT_DOUBLE_EQ(ship.X, xPaused);
    pad.SetPadButton(TPadButton::Start, true);
    game.Pad(game.Frames(), pad);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::None; }, 3));
    game.RunFrames(5);
    EXPECT_LT(ship.X, xPaused);
}

// ---- faults that once showed in play ----

// A plain joystick's first button is the fire button, as Space is.
TEST_F(WholeGame, JoystickButtonOneFires) {
    testing::QuietField(S());
    TJoystickReading stick;
    stick.Kind = TJoystickKind::Joystick;
    game.Pad(game.Frames(), stick);
    game.RunFrames(20);
    EXPECT_EQ(Pools().BulletCount(), 0);
    stick.Buttons = 1u;
    game.Pad(game.Frames(), stick);
    game.RunFrames(20);
    EXPECT_GT(PlayerBullets(Pools(), TBulletKind::Laser), 0);
}

// The apostrophe's character code is the right arrow's key code; holding it
// must not fly the ship.
TEST_F(WholeGame, TheApostropheDoesNotSteer) {
    testing::QuietField(S());
    TPlayer& ship = Ship();
    const double x0 = ship.X;
    Hold(TKey::Apostrophe);
    game.RunFrames(20);
    EXPECT_DOUBLE_EQ(ship.X, x0);
    Release(TKey::Apostrophe);
    Hold(TKey::Right);
    game.RunFrames(20);
    EXPECT_GT(ship.X, x0 + 100);
}

// The explosion is a pattern run of the ship's own sprite; the tilt, which picks
// the level, up or down picture, once rewound it every tenth frame.
TEST_F(WholeGame, TheShipsExplosionIsNotRewoundWhileItDrifts) {
    testing::QuietField(S());
    TPlayer& ship = Ship();
    Hold(TKey::Down);
    TMonster* m = AddMonster(Pools(), static_cast<int32_t>(ship.X + 30), 0, 0);
    ASSERT_NE(m, nullptr);
    m->Y = ship.Y + 5;
    ASSERT_TRUE(game.RunUntil([&] { return ship.State == TPlayerState::Exploding; }, 5));
    double last = ship.AnimPosition;
    int32_t frames = 0;
    while (ship.State == TPlayerState::Exploding && frames < 100) {
        // The mouse still moves the wreck up and down.
        game.MouseMove(game.Frames(), 0, frames % 20 < 10 ? 6 : -6);
        game.RunFrames(1);
        ++frames;
        if (ship.State == TPlayerState::Exploding && ship.Visible) {
            EXPECT_GE(ship.AnimPosition, last) << "frame " << frames << " of the explosion";
            last = ship.AnimPosition;
        }
    }
    EXPECT_GT(last, 5) << "the explosion got past its first patterns";
}

// An explosion stuck to a monster rides with it by slot number; when the monster
// goes, the explosion must not jump to the next monster that takes the slot.
TEST_F(WholeGame, AStuckExplosionLetsGoWhenItsTargetLeaves) {
    testing::QuietField(S());
    TGamePools& pools = Pools();
    Collect(game, 1); // plasma: its explosion sticks to what it hits
    TMonster* truck = AddTarget(pools, Ship(), 450, 3);
    ASSERT_NE(truck, nullptr);
    truck->VY = 0;
    const int32_t slot = truck->Slot;
    Hold(TKey::Space);
    TBullet* stuck = nullptr;
    ASSERT_TRUE(game.RunUntil(
        [&] {
            for (int32_t b = 1; b <= IGameWorld::kBulletSlots; ++b)
                if (TBullet* bullet = pools.Bullet(b);
                    bullet && bullet->StickMode == TStickMode::Monster)
                    stuck = bullet;
            return stuck != nullptr;
        },
        120));
    Release(TKey::Space);
    EXPECT_FALSE(truck->Exploding);

    // The Truck leaves (as past the left edge); a CosmoStorm takes its slot at once.
    pools.RemoveMonster(slot);
    TMonster* next = AddMonster(pools, 900, 0, 0);
    ASSERT_NE(next, nullptr);
    ASSERT_EQ(next->Slot, slot);
    next->Y = 80;
    EXPECT_EQ(stuck->StickMode, TStickMode::Free);
    const double x = stuck->X;
    const double y = stuck->Y;
    const int32_t bulletSlot = stuck->Slot;
    for (int32_t i = 0; i < 60 && pools.Bullet(bulletSlot) == stuck; ++i) {
        game.RunFrames(1);
        EXPECT_TRUE(pools.CheckInvariants().empty()) << "frame " << i;
        if (pools.Bullet(bulletSlot) == stuck) {
            EXPECT_DOUBLE_EQ(stuck->X, x);
            EXPECT_DOUBLE_EQ(stuck->Y, y);
        }
    }
}

// A Truck alive when a game is left behind must not hold back the next game's
// enemies.
TEST_F(WholeGame, ANewGameAfterOneWithATruckLetsEveryEnemyIn) {
    TGameState& s = S();
    TMonster* truck = AddMonster(Pools(), 900, 0, 3);
    ASSERT_NE(truck, nullptr);
    ASSERT_TRUE(s.Progress.TruckPresent);
    Press(TKey::Escape);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::ExitToMenu; }, 3));
    Press(TKey::Y);
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.ScreenCode == TScreenCode::MainMenu; }, 5));
    game.Form->ActivateItemNo(1);
    ASSERT_EQ(s.Cursor.ScreenCode, TScreenCode::Game);
    EXPECT_FALSE(s.Progress.TruckPresent);
    EXPECT_FALSE(s.Progress.MegaPresent);
    EXPECT_EQ(Pools().MonsterCount(), 0);
    testing::PlayUntilFlying(game);
    ASSERT_TRUE(game.RunUntil([&] { return Pools().MonsterCount() > 0; }, 600));
}

} // namespace
} // namespace vantorel

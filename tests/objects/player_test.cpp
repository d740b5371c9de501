#include "objects/player.hpp"

#include "objects/object_world.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using testing_objects::TObjectWorld;

class Player : public TObjectWorld {};

TEST_F(Player, ANewShipStartsAGame) {
    State.Progress.Lives = 0;
    State.Progress.Score = 1234;
    TPlayer& player = MakePlayer();
    EXPECT_EQ(State.Progress.Lives, 3);
    EXPECT_EQ(State.Progress.Score, 0);
    EXPECT_DOUBLE_EQ(player.X, 30);
    EXPECT_DOUBLE_EQ(player.Y, 221);
    EXPECT_EQ(player.Z(), 10);
}

TEST_F(Player, TheExplosionPlaysToItsEndUntouchedByTheTilt) {
    TPlayer& player = MakePlayer();
    State.Timing.FrameMs = 5; // a fast display: the explosion ends before the respawn
    player.Y = 300;
    player.Die();
    double last = -1;
    int32_t frames = 0;
    while (player.State == TPlayerState::Exploding && player.Visible) {
        // Steering still moves the wreck, which the tilt would show as a turn.
        player.MoveDown = true;
        State.Input.MouseDeltaY = 3;
        Frame();
        ++frames;
        if (player.Visible) {
            EXPECT_GE(player.AnimPosition, last) << "frame " << frames;
            last = player.AnimPosition;
        }
    }
    // The explosion runs 10 hundredths of a pattern per frame over all its patterns.
    const int32_t patterns = player.AnimFrameCount;
    EXPECT_GE(frames, patterns * 10 - 6) << "the explosion vanished early";
}

TEST_F(Player, TiltsWithTheVerticalMovementEveryTenthFrame) {
    TPlayer& player = MakePlayer();
    player.Y = 300;
    // The first check comes at once, then one every 10 frames.
    for (int32_t i = 0; i < 11; ++i)
        Frame();
    EXPECT_EQ(player.AnimPosition, 0);
    player.MoveDown = true;
    for (int32_t i = 0; i < 10; ++i)
        Frame();
    EXPECT_EQ(player.AnimPosition, 1);
    player.MoveDown = false;
    player.MoveUp = true;
    for (int32_t i = 0; i < 10; ++i)
        Frame();
    EXPECT_EQ(player.AnimPosition, 2);
}

TEST_F(Player, StaysInsideTheField) {
    TPlayer& player = MakePlayer();
    const struct {
        double x, y, ex, ey;
    } cases[] = {
        {-50, -50, 15, 75},
        {900, 900, 800.0 - player.Width, 550.0 - player.Height},
        {400, 300, 400, 300},
    };
    for (const auto& c : cases) {
        player.X = c.x;
        player.Y = c.y;
        Frame();
        EXPECT_DOUBLE_EQ(player.X, c.ex);
        EXPECT_DOUBLE_EQ(player.Y, c.ey);
    }
}

TEST_F(Player, MouseStepsAreLimitedAndTakenOnce) {
    TPlayer& player = MakePlayer();
    player.X = 300;
    player.Y = 300;
    State.Input.MouseDeltaX = 90;
    State.Input.MouseDeltaY = -90;
    Frame();
    EXPECT_NEAR(player.X, 300 + 20 / 1.5, 1e-9);
    EXPECT_NEAR(player.Y, 300 - 20 / 1.8, 1e-9);
    // The next frame's snapshot brings no motion: the ship moved once.
    State.Input = {};
    Frame();
    EXPECT_NEAR(player.X, 300 + 20 / 1.5, 1e-9);
    EXPECT_NEAR(player.Y, 300 - 20 / 1.8, 1e-9);
}

TEST_F(Player, ReadsTheControls) {
    TPlayer& player = MakePlayer();
    State.Input.SetSteers(TDirection::Left, true);
    State.Input.SetSteers(TDirection::Down, true);
    State.Input.SetHeldBy(TFireControl::Ctrl, true);
    player.ReadControls();
    EXPECT_TRUE(player.MoveLeft && player.MoveDown && player.FireHeld);
    EXPECT_FALSE(player.MoveRight || player.MoveUp);

    // While exploding the moves keep their last values; fire follows the keys.
    player.Die();
    State.Input = {};
    player.ReadControls();
    EXPECT_TRUE(player.MoveLeft && player.MoveDown);
    EXPECT_FALSE(player.FireHeld);
}

// ---- weapons ----

struct TArmStep {
    TBonusKind kind;
    std::vector<int32_t> on; ///< weapon slots on afterwards
};

TEST_F(Player, WeaponPickUpRules) {
    const struct {
        const char* label;
        std::vector<TArmStep> steps;
    } cases[] = {
        {"a new weapon replaces the laser",
         {{TBonusKind::LaserGun, {1}}, {TBonusKind::PlasmaGun, {2}}}},
        {"the shield goes beside the weapon",
         {{TBonusKind::RocketGun, {3}}, {TBonusKind::Shield, {3, 5}}}},
        {"a weapon keeps the shield",
         {{TBonusKind::Shield, {5}}, {TBonusKind::RocketGun2x, {5, 8}}}},
        {"rail then double laser", {{TBonusKind::RailGun, {4}}, {TBonusKind::LaserGun2x, {6}}}},
        {"the mega bomb and a life are not held",
         {{TBonusKind::RocketGun, {3}}, {TBonusKind::MegaBomb, {3}}, {TBonusKind::Life, {3}}}},
    };
    for (const auto& c : cases) {
        TPlayer& player = MakePlayer();
        for (const TArmStep& step : c.steps) {
            player.ArmBonus(step.kind);
            std::vector<int32_t> on;
            for (int32_t slot = 1; slot <= 8; ++slot)
                if (player.WeaponOn[static_cast<size_t>(slot)])
                    on.push_back(slot);
            EXPECT_EQ(on, step.on) << c.label << ", kind " << static_cast<int32_t>(step.kind);
        }
        EXPECT_EQ(Fixed.ShieldSprite->Visible, player.ShieldOn()) << c.label;
        player.Kill();
    }
}

TEST_F(Player, WeaponsRunOutAndTheLaserComesBack) {
    TPlayer& player = MakePlayer();
    player.ArmBonus(TBonusKind::RocketGun);
    player.ArmBonus(TBonusKind::LaserGun);
    EXPECT_EQ(player.WeaponTime[1], 15000) << "picking up the laser again restarts it";
    player.ArmBonus(TBonusKind::PlasmaGun);
    player.WeaponTime[2] = State.Timing.FrameMs;
    player.UpdateWeapons();
    EXPECT_TRUE(player.WeaponOn[2]);
    player.UpdateWeapons();
    EXPECT_FALSE(player.WeaponOn[2]);
    player.UpdateWeapons();
    EXPECT_TRUE(player.WeaponOn[1]);
    EXPECT_EQ(player.WeaponTime[1], 15000 - State.Timing.FrameMs);
}

TEST_F(Player, EachWeaponFiresItsShots) {
    struct TShotSeen {
        TBulletKind kind;
        int32_t speed, angle, dx, dy;
    };
    const struct {
        TPlayerWeapon weapon;
        const char* sound;
        std::vector<TShotSeen> shots;
    } cases[] = {
        {TPlayerWeapon::Laser, "Laser", {{TBulletKind::Laser, 10, 0, 107, 20}}},
        {TPlayerWeapon::Plasma, "Plasma", {{TBulletKind::Plasma, 6, 0, 90, -10}}},
        {TPlayerWeapon::Rocket, "Rocket", {{TBulletKind::Rocket, 2, 10, 58, 50}}},
        {TPlayerWeapon::Rail, "Rail", {{TBulletKind::Rail, 16, 0, 108, 18}}},
        {TPlayerWeapon::DoubleLaser,
         "Laser2",
         {{TBulletKind::Laser, 10, 0, 107, 10}, {TBulletKind::Laser, 10, 0, 107, 30}}},
        {TPlayerWeapon::TriplePlasma,
         "Plasma",
         {{TBulletKind::Plasma, 7, -15, 90, -10},
          {TBulletKind::Plasma, 6, 0, 90, -10},
          {TBulletKind::Plasma, 7, 15, 90, -10}}},
        {TPlayerWeapon::DoubleRocket,
         "Rocket",
         {{TBulletKind::Rocket, 2, 10, 58, 50}, {TBulletKind::Rocket, 2, 0, 58, 36}}},
    };
    TPlayer& player = MakePlayer();
    player.X = 200.7;
    player.Y = 300.2;
    for (const auto& c : cases) {
        Shell.Calls.clear();
        player.FireCooldown = 0;
        player.FireWeapon(c.weapon);
        EXPECT_EQ(player.FireCooldown, 300);
        EXPECT_EQ(Shell.Count(std::string("PlaySound ") + c.sound), 1);
        ASSERT_EQ(Pools.BulletCount(), static_cast<int32_t>(c.shots.size()));
        for (size_t i = 0; i < c.shots.size(); ++i) {
            const TBullet& b = *Pools.Bullet(static_cast<int32_t>(i) + 1);
            EXPECT_EQ(b.Kind, c.shots[i].kind);
            EXPECT_EQ(b.Owner, TBulletOwner::Player);
            EXPECT_EQ(b.Speed, c.shots[i].speed);
            EXPECT_EQ(b.Angle, c.shots[i].angle);
            EXPECT_DOUBLE_EQ(b.X, static_cast<int32_t>(200.7 + c.shots[i].dx));
            EXPECT_DOUBLE_EQ(b.Y, static_cast<int32_t>(300.2 + c.shots[i].dy));
            EXPECT_EQ(b.Z(), 9);
        }
        // Cooling down or leaving: no shot.
        player.FireWeapon(c.weapon);
        EXPECT_EQ(Pools.BulletCount(), static_cast<int32_t>(c.shots.size()));
        Pools.RemoveAllBullets();
    }
    player.FireCooldown = 0;
    player.Leaving = true;
    player.FireWeapon(TPlayerWeapon::Laser);
    EXPECT_EQ(Pools.BulletCount(), 0);
}

TEST_F(Player, AFullBulletPoolSwallowsTheShotButNotTheCooldown) {
    TPlayer& player = MakePlayer();
    for (int32_t i = 0; i < IGameWorld::kBulletSlots; ++i)
        Shoot(TBulletKind::Laser, TBulletOwner::Enemy, 700, 300);
    player.FireWeapon(TPlayerWeapon::Laser);
    EXPECT_EQ(player.FireCooldown, 300);
    EXPECT_EQ(Pools.BulletCount(), IGameWorld::kBulletSlots);
}

// ---- collisions, lives and the mega bomb ----

TEST_F(Player, RammingAMonster) {
    const struct {
        const char* label;
        int32_t kind;
        bool shield;
        bool dies;
    } cases[] = {
        {"a fighter kills the ship", 0, false, true},
        {"so does it through the shield", 0, true, true},
        {"a Destroyer hurts the ship", 4, false, true},
        {"a Destroyer is stopped by the shield", 4, true, false},
    };
    for (const auto& c : cases) {
        TPlayer& player = MakePlayer();
        player.X = 300;
        player.Y = 300;
        if (c.shield)
            player.ArmBonus(TBonusKind::Shield);
        TMonster& monster = AddMonster(c.kind, 320, 310);
        const int32_t score = State.Progress.Score;
        player.CheckCollisions();
        EXPECT_EQ(player.State == TPlayerState::Exploding, c.dies) << c.label;
        EXPECT_TRUE(monster.Exploding) << c.label;
        EXPECT_EQ(State.Progress.Score, score) << c.label << ": ramming scores nothing";
        Pools.RemoveAllMonsters();
        player.Kill();
        Sprites.FreeDead();
    }
}

TEST_F(Player, BonusesAreCollectedOnceAndNotWhileExploding) {
    TPlayer& player = MakePlayer();
    player.X = 300;
    player.Y = 300;
    Pools.AddBonus(320, 310, 9, 6); // a life
    Pools.AddBonus(330, 310, 9, 6);
    State.Progress.Lives = 2;
    player.CheckCollisions();
    EXPECT_EQ(State.Progress.Lives, 3) << "lives never exceed 3";
    EXPECT_TRUE(Pools.Bonus(1)->Taken && Pools.Bonus(2)->Taken);
    EXPECT_EQ(Shell.Count("PlaySound Bonus"), 2);

    Pools.RemoveAllBonuses();
    Pools.AddBonus(320, 310, 9, 1);
    player.Die();
    player.CheckCollisions();
    EXPECT_FALSE(Pools.Bonus(1)->Taken);
}

TEST_F(Player, ATakenBonusGivesNothingTwice) {
    TPlayer& player = MakePlayer();
    player.X = 300;
    player.Y = 300;
    Pools.AddBonus(320, 310, 9, 6);
    State.Progress.Lives = 1;
    player.CheckCollisions();
    player.CheckCollisions(); // before the sweep took it
    EXPECT_EQ(State.Progress.Lives, 2);
}

TEST_F(Player, LivesRunOutIntoGameOver) {
    TPlayer& player = MakePlayer();
    for (int32_t death = 1; death <= 3; ++death) {
        player.Die();
        EXPECT_EQ(State.Progress.Lives, 3 - death);
        for (int32_t i = 0; i < 200 && player.State == TPlayerState::Exploding; ++i)
            Frame();
        EXPECT_EQ(player.State, TPlayerState::Appearing);
        if (death < 3)
            player.BecomeSolid();
    }
    // The ship only reports it; the game flow opens the window.
    EXPECT_TRUE(player.LastLifeGone);
    EXPECT_EQ(Shell.Count("PlaySound GameOver"), 1);
    player.Die();
    EXPECT_EQ(State.Progress.Lives, 0) << "never below 0";
}

TEST_F(Player, DyingTakesTheRailsAway) {
    TPlayer& player = MakePlayer();
    player.FireWeapon(TPlayerWeapon::Rail);
    ASSERT_EQ(Pools.BulletCount(), 1);
    player.Die();
    EXPECT_EQ(Pools.BulletCount(), 0);
    EXPECT_FALSE(player.HasWeapon());
}

TEST_F(Player, FadesInThenBecomesSolid) {
    TPlayer& player = MakePlayer();
    player.Respawn();
    int32_t frames = 0;
    while (player.State == TPlayerState::Appearing && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, 51);
    EXPECT_FALSE(player.AlphaMode);
}

TEST_F(Player, TheMegaBombHurtsEveryEnemyWithScore) {
    TPlayer& player = MakePlayer();
    AddMonster(0, 500, 100).Ammo = 0;
    AddMonster(3, 500, 300).Ammo = 0;
    AddGun(0, 600, 490);
    State.Progress.MonstersLeft = 10;
    player.MegaBomb();
    EXPECT_TRUE(Pools.Monster(1)->Exploding);
    EXPECT_FALSE(Pools.Monster(2)->Exploding);
    EXPECT_EQ(Pools.Monster(2)->HitPoints, 20);
    EXPECT_TRUE(Pools.GroundGun(1)->Destroyed);
    EXPECT_EQ(State.Progress.Score, 5 + 10);
    EXPECT_EQ(State.Progress.MonstersLeft, 9);
}

} // namespace
} // namespace vantorel

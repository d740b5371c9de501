#include "objects/ground_gun.hpp"

#include "objects/object_world.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using testing_objects::TObjectWorld;

TEST(GroundGunAim, PointsAtTheTarget) {
    const struct {
        const char* label;
        double dx, dy;
        int32_t aim;
    } cases[] = {
        {"straight above", 0, -100, 0},
        {"exactly level with the gun's left edge", 0, 100, 0},
        {"up and right at 45 degrees", 100, -100, 32},
        {"up and left at 45 degrees", -100, -100, -32},
        {"below, to the right: flat", 100, 50, 64},
        {"below, to the left: flat", -100, 50, -64},
        {"level to the right", 100, 0, 64},
        {"steeply up, truncated", 10, -300, 1},
        {"steeply up left, truncated toward zero", -10, -300, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TGroundGun::AimAngle(c.dx, c.dy), c.aim) << c.label;
}

class GroundGuns : public TObjectWorld {};

TEST_F(GroundGuns, AimAheadOfTheShip) {
    TPlayer& player = MakePlayer();
    TGroundGun& gun = AddGun(0, 500, 490);
    EXPECT_EQ(gun.Aim, -16);
    player.CenterX = 400; // 100 ahead is straight above the gun's corner
    player.CenterY = 200;
    EXPECT_EQ(gun.ComputeAim(100), 0);
}

TEST_F(GroundGuns, HitsToDestroy) {
    const struct {
        const char* label;
        TBulletKind kind;
        int32_t hits;
    } cases[] = {{"laser", TBulletKind::Laser, 2},
                 {"plasma", TBulletKind::Plasma, 1},
                 {"rocket", TBulletKind::Rocket, 1},
                 {"rail", TBulletKind::Rail, 1}};
    for (const auto& c : cases) {
        MakePlayer();
        TGroundGun& gun = AddGun(1, 400, 400);
        State.Progress.Score = 0;
        int32_t hits = 0;
        while (!gun.Destroyed && hits < 5) {
            TBullet& b = Shoot(c.kind, TBulletOwner::Player, 420, 420);
            b.CheckCollisions();
            ++hits;
        }
        EXPECT_EQ(hits, c.hits) << c.label;
        EXPECT_EQ(State.Progress.Score, 10) << c.label;
        Pools.RemoveAllBullets();
        Pools.RemoveAllGroundGuns();
    }
}

TEST_F(GroundGuns, AWreckNeitherFiresNorHurtsButDriftsWithTheGround) {
    TPlayer& player = MakePlayer();
    TGroundGun& gun = AddGun(0, 600, 450);
    gun.Explode();
    EXPECT_EQ(Shell.Count("PlaySound Explosion2"), 1);
    for (int32_t i = 0; i < 500 && Pools.GroundGun(1) != nullptr; ++i) {
        const double x = gun.X;
        player.State = TPlayerState::Flying;
        player.X = gun.X;
        player.Y = gun.Y;
        Frame();
        EXPECT_EQ(player.State, TPlayerState::Flying);
        if (Pools.GroundGun(1) != nullptr) {
            EXPECT_DOUBLE_EQ(gun.X, x - 4);
        }
    }
    EXPECT_EQ(Pools.BulletCount(), 0);
    EXPECT_EQ(Pools.GroundGun(1), nullptr) << "the sweep takes the finished wreck";
}

TEST_F(GroundGuns, ShotsLeaveTheBarrelTip) {
    MakePlayer();
    const struct {
        int32_t kind;
        int32_t aim;
        int32_t x, y; ///< from the gun's top-left corner
        TBulletKind shot;
        int32_t speed;
    } cases[] = {
        {0, 0, 37, 63 - 70, TBulletKind::Plasma, 6},
        {0, 64, 37 + 70, 63, TBulletKind::Plasma, 6},
        {1, -64, 30 - 70, 78, TBulletKind::Rocket, 5},
    };
    for (const auto& c : cases) {
        TGroundGun& gun = AddGun(c.kind, 300, 400);
        gun.Aim = c.aim;
        gun.Fire();
        ASSERT_NE(Pools.Bullet(1), nullptr);
        const TBullet& b = *Pools.Bullet(1);
        EXPECT_EQ(b.Kind, c.shot);
        EXPECT_EQ(b.Speed, c.speed);
        EXPECT_EQ(b.Angle, c.aim - 64);
        EXPECT_NEAR(b.X, 300 + c.x, 1);
        EXPECT_NEAR(b.Y, 400 + c.y, 1);
        EXPECT_EQ(gun.Firing, c.kind == 0);
        Pools.RemoveAllBullets();
        Pools.RemoveAllGroundGuns();
    }
}

} // namespace
} // namespace vantorel

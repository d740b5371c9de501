#include "objects/bullet.hpp"

#include "objects/object_world.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using testing_objects::TObjectWorld;

TEST(BulletVelocity, FollowsSpeedAndAngleTruncatedTowardZero) {
    const struct {
        const char* label;
        int32_t speed, angle;
        TIntVelocity v;
    } cases[] = {
        {"player laser", 10, 0, {10, 0}},
        {"player plasma", 6, 0, {6, 0}},
        {"triple plasma up", 7, -15, {6, -2}},
        {"triple plasma down", 7, 15, {6, 2}},
        {"slow rocket is quantised flat", 2, 10, {1, 0}},
        {"enemy laser flies left", -7, 0, {-7, 0}},
        {"enemy rocket at -128", 3, -128, {-3, 0}},
        {"straight down", 5, 64, {0, 5}},
        {"straight up", 5, -64, {0, -5}},
        {"negative speed reverses an angle", -5, 31, {-3, -3}},
        {"no speed", 0, 40, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TBullet::VelocityFor(c.speed, c.angle), c.v) << c.label;
}

class Bullets : public TObjectWorld {};

TEST_F(Bullets, RocketsSpeedUpToSevenAndOnlyDownwardOnesBend) {
    const struct {
        const char* label;
        int32_t angle;
        bool bends;
    } cases[] = {{"fired downwards", 10, true},
                 {"fired flat", 0, false},
                 {"enemy to the left", -128, false}};
    for (const auto& c : cases) {
        TBullet& rocket = Shoot(TBulletKind::Rocket, TBulletOwner::Player, 100, 100, 2, c.angle);
        rocket.CanCollide = false;
        int32_t topSpeed = 0;
        for (int32_t i = 0; i < 40; ++i) {
            rocket.Y = 100; // stay clear of the ground
            rocket.X = 100;
            Frame();
            topSpeed = std::max(topSpeed, rocket.Speed);
        }
        EXPECT_EQ(topSpeed, 7) << c.label;
        EXPECT_EQ(rocket.Angle != c.angle, c.bends) << c.label;
        if (c.angle == -128) {
            EXPECT_EQ(rocket.VY, 0) << c.label;
        }
        Pools.RemoveAllBullets();
    }
}

TEST_F(Bullets, ARocketExplodesOnTheGroundAndDriftsWithIt) {
    TBullet& rocket = Shoot(TBulletKind::Rocket, TBulletOwner::Player, 300, 548, 2, 64);
    for (int32_t i = 0; i < 5 && !rocket.Spent; ++i)
        Frame();
    ASSERT_TRUE(rocket.Spent);
    EXPECT_FALSE(rocket.ExhaustOn);
    const double x = rocket.X;
    Frame();
    EXPECT_DOUBLE_EQ(rocket.X, x - 4); // the front hills' speed
}

TEST_F(Bullets, IgnoreCollisionsUntilOnScreen) {
    MakePlayer();
    TMonster& monster = AddMonster(0, 805, 200);
    monster.Ammo = 0;
    TBullet& bullet = Shoot(TBulletKind::Laser, TBulletOwner::Player, 810, 210);
    bullet.CheckCollisions();
    EXPECT_FALSE(bullet.Spent);
    EXPECT_EQ(monster.HitPoints, monster.MaxHitPoints);
}

TEST_F(Bullets, AShotHitsOneTargetAndSticksToIt) {
    // Two monsters under one laser bolt: the bolt spends itself on the first.
    TMonster& a = AddMonster(2, 300, 200);
    TMonster& b = AddMonster(2, 300, 200);
    a.Ammo = b.Ammo = 0;
    TBullet& bolt = Shoot(TBulletKind::Laser, TBulletOwner::Player, 310, 210);
    bolt.CheckCollisions();
    EXPECT_TRUE(bolt.Spent);
    EXPECT_FALSE(bolt.CanCollide);
    EXPECT_EQ((a.MaxHitPoints - a.HitPoints) + (b.MaxHitPoints - b.HitPoints), 1);
    EXPECT_EQ(bolt.StickMode, TStickMode::Monster);
}

TEST_F(Bullets, AStuckExplosionRidesWithItsTarget) {
    TMonster& monster = AddMonster(2, 300, 200);
    monster.Ammo = 0;
    TBullet& plasma = Shoot(TBulletKind::Plasma, TBulletOwner::Player, 310, 210, 6);
    plasma.CheckCollisions();
    ASSERT_EQ(plasma.StickMode, TStickMode::Monster);
    Frame(); // centred half-way between both centres
    const double dx = plasma.X - monster.X;
    const double dy = plasma.Y - monster.Y;
    Frame();
    Frame();
    EXPECT_DOUBLE_EQ(plasma.X - monster.X, dx);
    EXPECT_DOUBLE_EQ(plasma.Y - monster.Y, dy);
}

TEST_F(Bullets, BulletsOfOneSideNeverMeetAndOpposingOnesBothExplode) {
    TBullet& mine = Shoot(TBulletKind::Plasma, TBulletOwner::Player, 300, 300);
    TBullet& mine2 = Shoot(TBulletKind::Laser, TBulletOwner::Player, 305, 302);
    mine.CheckCollisions();
    EXPECT_FALSE(mine.Spent);
    EXPECT_FALSE(mine2.Spent);

    TBullet& theirs = Shoot(TBulletKind::Laser, TBulletOwner::Enemy, 302, 301, -7);
    theirs.CheckCollisions();
    EXPECT_TRUE(theirs.Spent);
    EXPECT_TRUE(mine.Spent || mine2.Spent);
}

TEST_F(Bullets, APlayersRailTouchingAnEnemyBulletIsRemoved) {
    MakePlayer();
    TBullet& rail = Shoot(TBulletKind::Rail, TBulletOwner::Player, 300, 300, 16);
    const int32_t railSlot = rail.Slot;
    TBullet& theirs = Shoot(TBulletKind::Plasma, TBulletOwner::Enemy, 302, 299, -6);
    rail.CheckCollisions();
    EXPECT_EQ(Pools.Bullet(railSlot), nullptr);
    EXPECT_TRUE(theirs.Spent);
}

TEST_F(Bullets, ARailPiercesEachMonsterOncePerRail) {
    TPlayer& player = MakePlayer();
    player.X = 30;
    TMonster& truck = AddMonster(3, 500, 200);
    truck.Ammo = 0;
    const double y = truck.Y + truck.Height / 2.0 - 3;
    TBullet& first = Shoot(TBulletKind::Rail, TBulletOwner::Player, 470, y, 16);
    for (int32_t i = 0; i < 12; ++i) {
        first.Y = y;
        Frame();
    }
    EXPECT_EQ(truck.MaxHitPoints - truck.HitPoints, 5);

    TBullet& second = Shoot(TBulletKind::Rail, TBulletOwner::Player, 470, y, 16);
    for (int32_t i = 0; i < 12; ++i) {
        second.Y = y;
        Frame();
    }
    EXPECT_EQ(truck.MaxHitPoints - truck.HitPoints, 10);
}

TEST_F(Bullets, APlayersShotPushesABonusAndFliesOn) {
    Pools.AddBonus(300, 300, 9, 0);
    TBonus& bonus = *Pools.Bonus(1);
    TBullet& bolt = Shoot(TBulletKind::Laser, TBulletOwner::Player, 305, 305);
    bolt.CheckCollisions();
    EXPECT_FALSE(bolt.Spent);
    EXPECT_EQ(bonus.PushSpeed, 6);
    EXPECT_EQ(bonus.PushTimer, 300);
}

TEST_F(Bullets, AnEnemyShotHurtsAFlyingShipUnlessShielded) {
    const struct {
        const char* label;
        TPlayerState state;
        bool shield;
        bool dies;
        bool spent;
    } cases[] = {
        {"flying", TPlayerState::Flying, false, true, true},
        {"shielded", TPlayerState::Flying, true, false, true},
        {"appearing", TPlayerState::Appearing, false, false, false},
    };
    for (const auto& c : cases) {
        TPlayer& player = MakePlayer();
        player.State = c.state;
        if (c.shield)
            player.ArmBonus(TBonusKind::Shield);
        TBullet& shot =
            Shoot(TBulletKind::Laser, TBulletOwner::Enemy, player.X + 20, player.Y + 20, -7);
        shot.CheckCollisions();
        EXPECT_EQ(player.State == TPlayerState::Exploding, c.dies) << c.label;
        EXPECT_EQ(shot.Spent, c.spent) << c.label;
        if (c.spent) {
            EXPECT_EQ(shot.StickMode, TStickMode::Player) << c.label;
        }
        Pools.RemoveAllBullets();
        player.Kill();
        Sprites.FreeDead();
    }
}

TEST_F(Bullets, ExplosionsByKind) {
    const struct {
        TBulletKind kind;
        TBulletOwner owner;
        bool visible;
        bool removed;
        double dx;
        int32_t z;
    } cases[] = {
        {TBulletKind::Laser, TBulletOwner::Player, false, false, 0, 9},
        {TBulletKind::Plasma, TBulletOwner::Player, true, false, 0, 9},
        {TBulletKind::Plasma, TBulletOwner::Enemy, true, false, -32, 13},
        {TBulletKind::Rocket, TBulletOwner::Enemy, true, false, -32, 13},
        {TBulletKind::Rail, TBulletOwner::Player, true, true, 0, 9},
    };
    for (const auto& c : cases) {
        TBullet& b = Shoot(c.kind, c.owner, 300, 300, 5);
        const int32_t slot = b.Slot;
        b.Explode();
        EXPECT_TRUE(b.Spent);
        EXPECT_EQ(b.Visible, c.visible);
        EXPECT_EQ(Pools.Bullet(slot) == nullptr, c.removed);
        EXPECT_DOUBLE_EQ(b.X, 300 + c.dx);
        EXPECT_EQ(b.Z(), c.z);
        Pools.RemoveAllBullets();
    }
}

} // namespace
} // namespace vantorel

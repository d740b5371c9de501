#include "gameplay/game_pools.hpp"

#include "objects/object_world.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace vantorel {
namespace {

using testing_objects::TObjectWorld;

class GamePools : public TObjectWorld {
protected:
    void ExpectConsistent() {
        for (const std::string& fault : Pools.CheckInvariants())
            ADD_FAILURE() << fault;
    }
};

// ---- adds ----

struct TPoolCase {
    const char* label;
    int32_t slots;
    std::function<void(TGamePools&)> add;
    std::function<int32_t(const TGamePools&)> count;
    std::function<void(TGamePools&, int32_t)> remove;
    int32_t TGameProgress::*timer; ///< null: the pool has no spawn timer
};
void PrintTo(const TPoolCase& c, std::ostream* os) {
    *os << c.label;
}

class GamePoolsFull : public GamePools, public ::testing::WithParamInterface<TPoolCase> {};

TEST_P(GamePoolsFull, RefusesAddsThenReusesTheLowestFreedSlot) {
    const TPoolCase& c = GetParam();
    for (int32_t i = 0; i < c.slots; ++i)
        c.add(Pools);
    ASSERT_EQ(c.count(Pools), c.slots);
    if (c.timer != nullptr)
        State.Progress.*c.timer = 5000;
    const int32_t sprites = Sprites.Engine.SpriteCount();

    c.add(Pools);
    EXPECT_EQ(c.count(Pools), c.slots);
    EXPECT_EQ(Sprites.Engine.SpriteCount(), sprites) << "a refused add created sprites";
    if (c.timer != nullptr) {
        EXPECT_EQ(State.Progress.*c.timer, 5000) << "a refused add reset the spawn timer";
    }

    c.remove(Pools, 3);
    c.remove(Pools, 2);
    c.add(Pools);
    EXPECT_EQ(c.count(Pools), c.slots - 1);
    if (c.timer != nullptr) {
        EXPECT_EQ(State.Progress.*c.timer, 0);
    }
    ExpectConsistent();
}

INSTANTIATE_TEST_SUITE_P(
    Pools, GamePoolsFull,
    ::testing::Values(
        TPoolCase{"Bullets", 50,
                  [](TGamePools& p) {
                      p.AddBullet(100, 100, 9, 10, 0, TBulletKind::Laser, TBulletOwner::Player, 0);
                  },
                  [](const TGamePools& p) { return p.BulletCount(); },
                  [](TGamePools& p, int32_t s) { p.RemoveBullet(s); }, nullptr},
        TPoolCase{"GroundGuns", 5, [](TGamePools& p) { p.AddGroundGun(900, 490, 6, 0); },
                  [](const TGamePools& p) { return p.GroundGunCount(); },
                  [](TGamePools& p, int32_t s) { p.RemoveGroundGun(s); }, &TGameProgress::GunTimer},
        TPoolCase{"Monsters", 10, [](TGamePools& p) { p.AddMonster(900, 0, 6, 0); },
                  [](const TGamePools& p) { return p.MonsterCount(); },
                  [](TGamePools& p, int32_t s) { p.RemoveMonster(s); },
                  &TGameProgress::MonsterTimer},
        TPoolCase{"Bonuses", 5, [](TGamePools& p) { p.AddBonus(900, 200, 9, 4); },
                  [](const TGamePools& p) { return p.BonusCount(); },
                  [](TGamePools& p, int32_t s) { p.RemoveBonus(s); }, &TGameProgress::BonusTimer}),
    [](const auto& tc) { return std::string(tc.param.label); });

TEST_F(GamePools, AnAddTakesTheLowestFreeSlotAndTellsTheObject) {
    for (int32_t i = 0; i < 4; ++i)
        Pools.AddMonster(900, 0, 6, 0);
    Pools.RemoveMonster(2);
    Pools.AddMonster(900, 0, 6, 1);
    ASSERT_NE(Pools.Monster(2), nullptr);
    EXPECT_EQ(Pools.Monster(2)->Kind, TMonsterKind::UFO);
    EXPECT_EQ(Pools.Monster(2)->Slot, 2);
}

TEST_F(GamePools, ARefusedTruckOrMegaLeavesItsFlagClear) {
    for (int32_t i = 0; i < IGameWorld::kMonsterSlots; ++i)
        Pools.AddMonster(900, 0, 6, 0);
    Pools.AddMonster(900, 0, 6, 3);
    Pools.AddMonster(900, 0, 6, 5);
    EXPECT_FALSE(State.Progress.TruckPresent);
    EXPECT_FALSE(State.Progress.MegaPresent);

    Pools.RemoveMonster(4);
    Pools.AddMonster(900, 0, 6, 3);
    EXPECT_TRUE(State.Progress.TruckPresent);
    Pools.RemoveMonster(4);
    EXPECT_FALSE(State.Progress.TruckPresent);
    ExpectConsistent();
}

// ---- removals release what refers to the removed object ----

TEST_F(GamePools, BulletsStuckToARemovedMonsterComeLoose) {
    TMonster& monster = AddMonster(0, 300, 200);
    monster.Ammo = 0;
    TBullet& bullet = Shoot(TBulletKind::Plasma, TBulletOwner::Player, 310, 205);
    bullet.StickTo(TStickMode::Monster, monster.Slot);
    bullet.Explode();
    ExpectConsistent();

    Pools.RemoveMonster(monster.Slot);
    EXPECT_EQ(bullet.StickMode, TStickMode::Free);
    // A new monster in the freed slot must not carry the old explosion along.
    TMonster& next = AddMonster(1, 600, 300);
    ASSERT_EQ(next.Slot, 1);
    const double x = bullet.X;
    const double y = bullet.Y;
    Frame();
    EXPECT_DOUBLE_EQ(bullet.X, x);
    EXPECT_DOUBLE_EQ(bullet.Y, y);
    ExpectConsistent();
}

TEST_F(GamePools, BulletsStuckToARemovedGunComeLoose) {
    TGroundGun& gun = AddGun(1, 400, 400);
    TBullet& bullet = Shoot(TBulletKind::Rocket, TBulletOwner::Player, 410, 420);
    bullet.StickTo(TStickMode::GroundGun, gun.Slot);
    bullet.Explode();
    Pools.RemoveGroundGun(gun.Slot);
    EXPECT_EQ(bullet.StickMode, TStickMode::Free);
    ExpectConsistent();
}

TEST_F(GamePools, AMonstersRailsGoWithIt) {
    MakePlayer();
    TMonster& mega = AddMonster(5, 450, 200);
    mega.Ammo = 0;
    TBullet& rail = Shoot(TBulletKind::Rail, TBulletOwner::Enemy, 380, 246, -10, 0, mega.Slot);
    const int32_t railSlot = rail.Slot;
    ExpectConsistent();

    Pools.RemoveMonster(mega.Slot);
    EXPECT_EQ(Pools.Bullet(railSlot), nullptr);
    ExpectConsistent();
}

TEST_F(GamePools, ARemovedRailReleasesTheMonstersItMarked) {
    TPlayer& player = MakePlayer();
    TMonster& monster = AddMonster(3, 500, 200);
    monster.Ammo = 0;
    TBullet& rail = Shoot(TBulletKind::Rail, TBulletOwner::Player, monster.X + 10,
                          monster.Y + monster.Height / 2.0 - 3, 16);
    const int32_t railSlot = rail.Slot;
    Frame();
    ASSERT_EQ(monster.LastRailSlot, railSlot);

    // Far enough from the ship, the sweep of the rail's own move takes it away.
    rail.X = player.X + 108 + 401;
    Frame();
    EXPECT_EQ(Pools.Bullet(railSlot), nullptr);
    EXPECT_EQ(monster.LastRailSlot, 0);
    ExpectConsistent();
}

TEST_F(GamePools, ARemovalAsksForTheObjectNotJustTheSlot) {
    TBullet& old = Shoot(TBulletKind::Rail, TBulletOwner::Player, 300, 300, 16);
    const int32_t slot = old.Slot;
    Pools.RemoveBullet(slot);
    TBullet& occupant = Shoot(TBulletKind::Laser, TBulletOwner::Player, 200, 200, 10);
    ASSERT_EQ(occupant.Slot, slot);

    Pools.RemoveBullet(old); // a stale request from the removed rail
    EXPECT_EQ(Pools.Bullet(slot), &occupant);
}

TEST_F(GamePools, ARemovedObjectStopsCollidingAtOnce) {
    MakePlayer();
    TMonster& monster = AddMonster(0, 300, 200);
    monster.Ammo = 0;
    const int32_t hitPoints = monster.HitPoints;
    TBullet& bullet =
        Shoot(TBulletKind::Laser, TBulletOwner::Player, monster.X + 5, monster.Y + 5, 10);
    Pools.RemoveMonster(monster.Slot);
    EXPECT_EQ(bullet.CheckCollisions(), 0);
    EXPECT_EQ(monster.HitPoints, hitPoints);
    EXPECT_FALSE(bullet.Spent);
}

TEST_F(GamePools, RemovingAMonsterKillsItsCompanions) {
    TMonster& truck = AddMonster(3, 500, 200);
    std::vector<TSprite*> companions;
    for (TMyImageSprite* s : truck.Flames)
        if (s != nullptr)
            companions.push_back(s);
    ASSERT_EQ(companions.size(), 5u);
    Pools.RemoveMonster(truck.Slot);
    EXPECT_TRUE(truck.IsDead());
    for (TSprite* s : companions)
        EXPECT_TRUE(s->IsDead());
}

TEST_F(GamePools, RemovePlayerRailsLeavesOtherBullets) {
    MakePlayer();
    TMonster& mega = AddMonster(5, 450, 200);
    mega.Ammo = 0;
    Shoot(TBulletKind::Rail, TBulletOwner::Player, 200, 200, 16);
    Shoot(TBulletKind::Laser, TBulletOwner::Player, 200, 300, 10);
    Shoot(TBulletKind::Rail, TBulletOwner::Enemy, 380, 246, -10, 0, mega.Slot);
    Shoot(TBulletKind::Rail, TBulletOwner::Player, 300, 200, 16);
    Pools.RemovePlayerRails();
    EXPECT_EQ(Pools.BulletCount(), 2);
    for (int32_t slot = 1; slot <= IGameWorld::kBulletSlots; ++slot)
        if (const TBullet* b = Pools.Bullet(slot)) {
            EXPECT_FALSE(b->Kind == TBulletKind::Rail && b->Owner == TBulletOwner::Player);
        }
}

// ---- the sweep ----

TEST_F(GamePools, SweepRemovesWhatLeftTheFieldOrFinished) {
    struct TCase {
        const char* label;
        double x, y;
        bool visible;
        bool removed;
    };
    const TCase cases[] = {
        {"inside", 400, 300, true, false},
        {"entering at 900", 900, 300, true, false},
        {"beyond 1400", 1401, 300, true, true},
        {"wholly left of -20", -1000, 300, true, true},
        {"above -20", 400, -21, true, true},
        {"below 680", 400, 679, true, true},
        {"hidden after its explosion", 400, 300, false, true},
    };
    for (const TCase& c : cases) {
        TBullet& b = Shoot(TBulletKind::Laser, TBulletOwner::Player, c.x, c.y);
        TMonster& m = AddMonster(0, c.x, c.y);
        b.Visible = m.Visible = c.visible;
        const int32_t bs = b.Slot;
        const int32_t ms = m.Slot;
        Pools.SweepOffscreen();
        EXPECT_EQ(Pools.Bullet(bs) == nullptr, c.removed) << c.label;
        EXPECT_EQ(Pools.Monster(ms) == nullptr, c.removed) << c.label;
        Pools.RemoveAllBullets();
        Pools.RemoveAllMonsters();
    }
}

TEST_F(GamePools, SweepRemovesCollectedBonusesWhereverTheyAre) {
    Pools.AddBonus(400, 300, 9, 0);
    Pools.AddBonus(400, 300, 9, 1);
    Pools.Bonus(1)->Taken = true;
    Pools.Bonus(2)->Visible = false; // a bonus's visibility does not matter
    Pools.SweepOffscreen();
    EXPECT_EQ(Pools.Bonus(1), nullptr);
    EXPECT_NE(Pools.Bonus(2), nullptr);
}

TEST_F(GamePools, ATruckLeavingTheFieldClearsItsFlag) {
    TMonster& truck = AddMonster(3, 500, 200);
    ASSERT_TRUE(State.Progress.TruckPresent);
    truck.X = -1000;
    Pools.SweepOffscreen();
    EXPECT_FALSE(State.Progress.TruckPresent);
}

// ---- a soak: many frames of a busy game keep the pools consistent ----

TEST_F(GamePools, StayConsistentThroughABusyGame) {
    TPlayer& player = MakePlayer();
    State.Random.Seed(2024);
    for (int32_t frame = 0; frame < 3000; ++frame) {
        // Spawn often, of every kind, and keep the ship firing and moving.
        if (State.Random(10) == 0)
            Pools.AddMonster(900, 0, 6, State.Random(6));
        if (State.Random(60) == 0)
            Pools.AddGroundGun(900, 490, 6, State.Random(2));
        if (State.Random(80) == 0)
            Pools.AddBonus(900, 100 + State.Random(370), 9, State.Random(10));
        player.FireHeld = true;
        player.MoveUp = frame % 200 < 100;
        player.MoveDown = !player.MoveUp;
        // Keep the game going whatever happens to the ship.
        State.Progress.Lives = 3;
        Frame();
        const std::vector<std::string> faults = Pools.CheckInvariants();
        ASSERT_TRUE(faults.empty()) << "frame " << frame << ": " << faults.front();
    }
}

} // namespace
} // namespace vantorel

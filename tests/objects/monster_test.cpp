#include "objects/monster.hpp"

#include "objects/object_world.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using testing_objects::TObjectWorld;

class Monsters : public TObjectWorld {};

TEST_F(Monsters, KillsScoreAndCountOnce) {
    const struct {
        int32_t kind;
        int32_t score;
    } cases[] = {{0, 5}, {1, 10}, {2, 20}, {3, 150}, {4, 5}, {5, 500}};
    for (const auto& c : cases) {
        TMonster& m = AddMonster(c.kind, 500, 200);
        State.Progress.Score = 0;
        State.Progress.MonstersLeft = 3;
        m.TakeDamage(m.HitPoints);
        EXPECT_TRUE(m.Exploding) << "kind " << c.kind;
        EXPECT_EQ(State.Progress.Score, c.score) << "kind " << c.kind;
        EXPECT_EQ(State.Progress.MonstersLeft, 2) << "kind " << c.kind;
        m.TakeDamage(10); // already exploding
        EXPECT_EQ(State.Progress.Score, c.score) << "kind " << c.kind;
        EXPECT_EQ(State.Progress.MonstersLeft, 2) << "kind " << c.kind;
        Pools.RemoveAllMonsters();
    }
}

TEST_F(Monsters, AnExplosionHidesTheCompanionsAndEndsHidden) {
    TMonster& mega = AddMonster(5, 500, 200);
    mega.Ammo = 0;
    mega.Explode();
    EXPECT_EQ(Shell.Count("PlaySound Explosion1"), 1);
    for (TMyImageSprite* s : mega.Flames)
        if (s != nullptr) {
            EXPECT_FALSE(s->Visible);
        }
    for (TMyImageSprite* s : mega.Muzzles)
        EXPECT_FALSE(s->Visible);
    const int32_t slot = mega.Slot;
    for (int32_t i = 0; i < 200 && Pools.Monster(slot) != nullptr; ++i)
        Frame();
    EXPECT_EQ(Pools.Monster(slot), nullptr) << "the sweep takes the finished wreck";
    EXPECT_FALSE(State.Progress.MegaPresent);
}

TEST_F(Monsters, FireOnlyOnScreenAndWithAmmo) {
    const struct {
        const char* label;
        int32_t kind;
        double x;
        int32_t ammo;
        bool fires;
    } cases[] = {
        {"a fighter on screen", 0, 600, 10, true},
        {"a fighter beyond 800", 0, 820, 10, false},
        {"a fighter without ammo", 0, 600, 0, false},
        {"a Destroyer never", 4, 600, 10, false},
    };
    for (const auto& c : cases) {
        TMonster& m = AddMonster(c.kind, c.x, 200);
        m.Ammo = c.ammo;
        bool fired = false;
        for (int32_t i = 0; i < 1000; ++i) {
            m.X = c.x;
            Frame();
            fired = fired || Pools.BulletCount() > 0;
        }
        EXPECT_EQ(fired, c.fires) << c.label;
        Pools.RemoveAllBullets();
        Pools.RemoveAllMonsters();
    }
}

TEST_F(Monsters, ATruckLaunchesAtMostItsAmmoAndNoneIntoAFullPool) {
    TMonster& truck = AddMonster(3, 500, 200);
    truck.Ammo = 2;
    for (int32_t i = 0; i < 5; ++i) {
        truck.FireCooldown = 0;
        if (truck.Ammo > 0) {
            --truck.Ammo;
            truck.Fire();
        }
    }
    EXPECT_EQ(Pools.MonsterCount(), 3);
    EXPECT_EQ(Pools.Monster(2)->Kind, TMonsterKind::Destroyer);
    EXPECT_DOUBLE_EQ(Pools.Monster(2)->X, 600);

    while (Pools.MonsterCount() < IGameWorld::kMonsterSlots)
        Pools.AddMonster(900, 0, 6, 0);
    truck.Fire();
    EXPECT_EQ(Pools.MonsterCount(), IGameWorld::kMonsterSlots);
}

TEST_F(Monsters, KeepToTheirHeights) {
    const struct {
        int32_t kind;
        double top;
        double bottom; ///< the lowest top edge is bottom - Height
    } cases[] = {{2, 100, 400}, {3, 75, 550}, {4, 75, 550}, {1, 175, 340}};
    for (const auto& c : cases) {
        TMonster& m = AddMonster(c.kind, 700, 300);
        m.Ammo = 0;
        for (int32_t i = 0; i < 600; ++i) {
            m.X = 700;
            Frame();
            if (c.kind == 1) {
                ASSERT_GE(m.Y, c.top - 1e-9) << "kind " << c.kind;
                ASSERT_LE(m.Y, c.bottom + 1e-9) << "kind " << c.kind;
            } else {
                ASSERT_GE(m.Y, c.top - 2) << "kind " << c.kind;
                ASSERT_LE(m.Y + m.Height, c.bottom + 2) << "kind " << c.kind;
            }
        }
        Pools.RemoveAllMonsters();
    }
}

TEST_F(Monsters, TheTruckStopsTwiceAndStays) {
    TMonster& truck = AddMonster(3, 500.5, 200);
    truck.Ammo = 0;
    Frame();
    EXPECT_DOUBLE_EQ(truck.X, 500);
    EXPECT_EQ(truck.Phase, 1);
    for (int32_t i = 0; i < 10000 / State.Timing.FrameMs + 1; ++i)
        Frame();
    EXPECT_EQ(truck.Phase, 2);
    for (int32_t i = 0; i < 400; ++i)
        Frame();
    EXPECT_EQ(truck.Phase, 3);
    EXPECT_DOUBLE_EQ(truck.X, 200);
}

TEST_F(Monsters, TheMegaRoamsItsBox) {
    TMonster& mega = AddMonster(5, 455, 200);
    mega.Ammo = 0;
    for (int32_t i = 0; i < 3000; ++i) {
        Frame();
        if (mega.Phase == 1) {
            ASSERT_GE(mega.X, 260 - 2);
            ASSERT_LE(mega.X, 540 + 2);
            ASSERT_GE(mega.Y, 82 - 2);
            ASSERT_LE(mega.Y, 386 + 2);
        }
    }
    EXPECT_EQ(mega.Phase, 1);
}

TEST_F(Monsters, TheMegasShotsComeFromItsGuns) {
    MakePlayer();
    TMonster& mega = AddMonster(5, 450, 200);
    for (int32_t i = 0; i < 50; ++i) {
        mega.Fire();
        for (int32_t slot = 1; slot <= IGameWorld::kBulletSlots; ++slot) {
            const TBullet* b = Pools.Bullet(slot);
            if (b == nullptr)
                continue;
            EXPECT_EQ(b->Owner, TBulletOwner::Enemy);
            EXPECT_EQ(b->Z(), mega.Z() + 1);
            if (b->Kind == TBulletKind::Rail) {
                EXPECT_EQ(b->ShooterSlot, mega.Slot);
            }
        }
        Pools.RemoveAllBullets();
    }
    EXPECT_EQ(mega.FireCooldown, 1000);
}

} // namespace
} // namespace vantorel

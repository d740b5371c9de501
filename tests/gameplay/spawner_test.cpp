#include "gameplay/spawner.hpp"

#include "gameplay/level_config.hpp"
#include "gameplay/spawn_target.hpp"
#include "objects/object_kinds.hpp"
#include "state/game_state.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vantorel {
namespace {

/// The pools as the spawners see them: adds are logged, a full pool drops them,
/// and a successful add resets its timer and raises the Truck and Mega flags.
class TFakePools final : public ISpawnTarget {
public:
    explicit TFakePools(TGameState& state) : state_(state) {}

    struct TAdd {
        std::string Pool;
        int32_t X, Y, Z, Kind;
        bool operator==(const TAdd&) const = default;
    };
    std::vector<TAdd> Adds;
    int32_t FreeMonsterSlots = 10;
    int32_t FreeGunSlots = 5;
    int32_t FreeBonusSlots = 5;

    void AddMonster(int32_t x, int32_t y, int32_t z, int32_t kind) override {
        if (FreeMonsterSlots == 0)
            return;
        --FreeMonsterSlots;
        state_.Progress.TruckPresent = state_.Progress.TruckPresent || kind == 3;
        state_.Progress.MegaPresent = state_.Progress.MegaPresent || kind == 5;
        state_.Progress.MonsterTimer = 0;
        Adds.push_back({"monster", x, y, z, kind});
    }
    void AddGroundGun(int32_t x, int32_t y, int32_t z, int32_t kind) override {
        if (FreeGunSlots == 0)
            return;
        --FreeGunSlots;
        state_.Progress.GunTimer = 0;
        Adds.push_back({"gun", x, y, z, kind});
    }
    void AddBonus(int32_t x, int32_t y, int32_t z, int32_t kind) override {
        if (FreeBonusSlots == 0)
            return;
        --FreeBonusSlots;
        state_.Progress.BonusTimer = 0;
        Adds.push_back({"bonus", x, y, z, kind});
    }

private:
    TGameState& state_;
};

/// How many draws lie between two copies of the generator (each Random(n) takes
/// one draw whatever n is); -1 when more than 40.
int32_t DrawsBetween(const TGameRandom& before, const TGameRandom& after) {
    for (int32_t k = 0; k <= 40; ++k) {
        TGameRandom b = before;
        for (int32_t i = 0; i < k; ++i)
            b(2);
        TGameRandom a = after;
        if (b(1 << 30) == a(1 << 30) && b(1 << 30) == a(1 << 30) && b(1 << 30) == a(1 << 30))
            return k;
    }
    return -1;
}

/// The first seed whose sequence of draws passes want.
uint32_t FindSeed(const std::function<bool(TGameRandom&)>& want) {
    for (uint32_t seed = 1; seed < 5'000'000; ++seed) {
        TGameRandom r;
        r.Seed(seed);
        if (want(r))
            return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 0;
}

struct Spawner : ::testing::Test {
    TGameState state;
    TFakePools pools{state};
    TSpawner spawner{state, pools};

    void StartLevel(int32_t level) {
        TLevelConfig::ForLevel(level).ApplyTo(state.Progress);
        state.Timing.FrameMs = 16;
    }
    /// Only enemy index enemy (or bonus index bonus) in play, with the given divisor.
    void OnlyEnemy(int32_t enemy, int32_t typeCount) {
        state.Progress.EnemyEnabled = {};
        state.Progress.EnemyEnabled[static_cast<size_t>(enemy)] = true;
        state.Progress.EnemyTypeCount = typeCount;
        state.Progress.MonstersLeft = 10;
    }
    void OnlyBonus(int32_t bonus, int32_t typeCount) {
        state.Progress.BonusEnabled = {};
        state.Progress.BonusEnabled[static_cast<size_t>(bonus)] = true;
        state.Progress.BonusTypeCount = typeCount;
    }
};

TEST_F(Spawner, EnemyChancesFollowTheLevelAndTheBigShipsOnTheField) {
    struct Case {
        int32_t Level;
        bool Truck, Mega;
        int32_t Gun;
        int32_t Monsters[5];
    };
    const Case cases[] = {
        {1, false, false, 500, {500, 500, 200, 100, 100}},
        {2, false, false, 250, {250, 250, 100, 50, 50}},
        {3, false, false, 166, {166, 166, 66, 33, 33}},
        {4, false, false, 125, {125, 125, 50, 25, 25}},
        {5, false, false, 100, {100, 100, 40, 20, 20}},
        {6, false, false, 83, {83, 83, 33, 16, 16}},
        {7, false, false, 71, {71, 71, 28, 14, 14}},
        {3, true, false, 83, {166, 166, 66, 33, 33}}, // trunc(500 x 0.5) div 3
        {6, true, false, 41, {83, 83, 33, 16, 16}},
        {7, false, true, 21, {71, 71, 28, 14, 14}}, // trunc(500 x 0.3) = 150, div 7
        {7, true, true, 35, {71, 71, 28, 14, 14}},  // the Truck's factor wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.Level) + (c.Truck ? " truck" : "") +
                     (c.Mega ? " mega" : ""));
        StartLevel(c.Level);
        state.Progress.TruckPresent = c.Truck;
        state.Progress.MegaPresent = c.Mega;
        EXPECT_EQ(spawner.GroundGunChance(), c.Gun);
        for (int32_t i = 0; i < 5; ++i)
            EXPECT_EQ(spawner.MonsterChance(i), c.Monsters[i]) << "enemy " << i;
    }
}

TEST_F(Spawner, BonusChancesDivideAfterTheIntegerDivision) {
    struct Case {
        int32_t Level;
        int32_t Index;
        int32_t Kind;
        double Chance;
    };
    const Case cases[] = {
        {1, 1, 0, 66.4},   {1, 5, 4, 79.68}, {1, 6, 7, 39.84}, {1, 9, 5, 19.92},
        {1, 10, 6, 13.28}, {2, 2, 1, 40.0},  {2, 7, 8, 16.0},  {3, 3, 2, 33.2},
        {3, 8, 9, 19.92},  {4, 4, 3, 28.4},  {7, 10, 6, 5.68}, {7, 9, 5, 8.52},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.Level) + " index " + std::to_string(c.Index));
        StartLevel(c.Level);
        EXPECT_NEAR(spawner.BonusChance(c.Index), c.Chance, 1e-9);
        // The index spawns the kind whose traits carry it.
        const std::optional<TBonusKind> kind = BonusKindOf(c.Kind);
        ASSERT_TRUE(kind);
        EXPECT_EQ(BonusKindOfIndex(c.Index), kind);
        EXPECT_EQ(TraitsOf(*kind).Index, c.Index);
    }
}

// A roll equal to an enemy's chance misses; one below hits. A bonus hits up to and
// including its chance's integer part, never on the roll that rounding would give.
TEST_F(Spawner, RollsAreComparedExactlyWithTheChance) {
    struct Case {
        const char* Name;
        int32_t Level;
        int32_t Enemy; // -1: a bonus
        int32_t Bonus; // 0: an enemy
        int32_t Roll;
        bool Enters;
        TFakePools::TAdd Add;
    };
    const Case cases[] = {
        {"CosmoStorm at 499", 1, 0, 0, 499, true, {"monster", 900, 0, 6, 0}},
        {"CosmoStorm at 500", 1, 0, 0, 500, false, {}},
        {"UFO at 165, level 3", 3, 1, 0, 165, true, {"monster", 900, 0, 6, 1}},
        {"UFO at 166, level 3", 3, 1, 0, 166, false, {}},
        {"Mega at 13, level 7", 7, 4, 0, 13, true, {"monster", 900, 0, 6, 5}},
        {"Mega at 14, level 7", 7, 4, 0, 14, false, {}},
        {"turret at 165, level 3", 3, 5, 0, 165, true, {"gun", 900, 490, 6, 0}},
        {"turret at 166, level 3", 3, 5, 0, 166, false, {}},
        {"launcher at 99, level 5", 5, 6, 0, 99, true, {"gun", 900, 490, 6, 1}},
        {"launcher at 100, level 5", 5, 6, 0, 100, false, {}},
        {"laser bonus at 66", 1, -1, 1, 66, true, {"bonus", 900, -1, 9, 0}},
        {"laser bonus at 67", 1, -1, 1, 67, false, {}},
        {"shield at 79", 1, -1, 5, 79, true, {"bonus", 900, -1, 9, 4}},
        {"shield at 80", 1, -1, 5, 80, false, {}},
        {"life at 13", 1, -1, 10, 13, true, {"bonus", 900, -1, 9, 6}},
        {"life at 14", 1, -1, 10, 14, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        state = TGameState{};
        pools.Adds.clear();
        pools.FreeMonsterSlots = 10;
        pools.FreeGunSlots = 5;
        pools.FreeBonusSlots = 5;
        StartLevel(c.Level);
        const int32_t range = c.Bonus > 0 ? 20000 : 10000;
        state.Random.Seed(FindSeed([&](TGameRandom& r) { return r(range) == c.Roll; }));
        TGameRandom afterRoll = state.Random;
        afterRoll(range);
        int32_t y = -1;
        if (c.Bonus > 0) {
            OnlyBonus(c.Bonus, state.Progress.BonusTypeCount);
            state.Progress.BonusTimer = 1000;
            spawner.SpawnBonuses();
            y = 100 + TGameRandom(afterRoll)(370);
        } else if (c.Enemy >= 5) {
            OnlyEnemy(c.Enemy, state.Progress.EnemyTypeCount);
            state.Progress.GunTimer = 2000;
            spawner.SpawnGroundGuns();
        } else {
            OnlyEnemy(c.Enemy, state.Progress.EnemyTypeCount);
            state.Progress.MonsterTimer = 1000;
            spawner.SpawnMonsters();
        }
        if (!c.Enters) {
            EXPECT_TRUE(pools.Adds.empty());
            EXPECT_EQ(DrawsBetween(afterRoll, state.Random), 0);
            continue;
        }
        ASSERT_EQ(pools.Adds.size(), 1u);
        TFakePools::TAdd want = c.Add;
        if (c.Bonus > 0) {
            want.Y = y; // the height is drawn after the roll
            EXPECT_EQ(DrawsBetween(afterRoll, state.Random), 1);
        }
        EXPECT_EQ(pools.Adds[0], want);
    }
}

TEST_F(Spawner, EachSpawnerWaitsForItsTimerAndTheLevel) {
    struct Case {
        const char* Name;
        void (TSpawner::*Spawn)();
        int32_t TGameProgress::*Timer;
        int32_t FirstRollingFrame; // at 16 ms a frame from a timer of 0
    };
    const Case cases[] = {
        {"monsters", &TSpawner::SpawnMonsters, &TGameProgress::MonsterTimer, 63}, // 1008 > 1000
        {"guns", &TSpawner::SpawnGroundGuns, &TGameProgress::GunTimer, 126},      // 2016 > 2000
        {"bonuses", &TSpawner::SpawnBonuses, &TGameProgress::BonusTimer, 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        state = TGameState{};
        StartLevel(7);
        state.Random.Seed(3);
        pools.FreeMonsterSlots = pools.FreeGunSlots = pools.FreeBonusSlots = 0; // all full
        for (int32_t frame = 1; frame <= c.FirstRollingFrame; ++frame) {
            const TGameRandom before = state.Random;
            (spawner.*c.Spawn)();
            EXPECT_EQ(state.Progress.*c.Timer, 16 * frame);
            const bool rolled = DrawsBetween(before, state.Random) > 0;
            ASSERT_EQ(rolled, frame == c.FirstRollingFrame) << "frame " << frame;
        }
        // A full pool leaves the timer running, so the rolls come every frame.
        const TGameRandom before = state.Random;
        (spawner.*c.Spawn)();
        EXPECT_GT(DrawsBetween(before, state.Random), 0);

        // While the level ends nothing rolls, though the timer keeps growing.
        state.Progress.LevelFinishing = true;
        const TGameRandom finishing = state.Random;
        const int32_t timer = state.Progress.*c.Timer;
        (spawner.*c.Spawn)();
        EXPECT_EQ(DrawsBetween(finishing, state.Random), 0);
        EXPECT_EQ(state.Progress.*c.Timer, timer + 16);
        EXPECT_TRUE(pools.Adds.empty());
    }
}

TEST_F(Spawner, MonstersStopOnceTheQuotaIsMetButGunsAndBonusesGoOn) {
    StartLevel(7);
    state.Progress.MonstersLeft = 0;
    state.Progress.MonsterTimer = state.Progress.GunTimer = state.Progress.BonusTimer = 5000;
    const TGameRandom before = state.Random;
    spawner.SpawnMonsters();
    EXPECT_EQ(DrawsBetween(before, state.Random), 0);
    spawner.SpawnGroundGuns();
    EXPECT_EQ(DrawsBetween(before, state.Random), 2);
    spawner.SpawnBonuses();
    EXPECT_GE(DrawsBetween(before, state.Random), 12);
}

// Rolls per monster frame at level 7 (all five indexes in): the flags are read again
// before every index, so a Truck that enters blocks the Mega of the same frame.
TEST_F(Spawner, TruckAndMegaLeaveOnlyCosmoStormsRolling) {
    struct Case {
        const char* Name;
        bool Truck, Mega;
        int32_t Draws;
    };
    const Case cases[] = {
        {"neither", false, false, 5},
        {"truck", true, false, 1},
        {"mega", false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        StartLevel(7);
        pools.FreeMonsterSlots = 0;
        state.Progress.TruckPresent = c.Truck;
        state.Progress.MegaPresent = c.Mega;
        state.Progress.MonsterTimer = 1000;
        const TGameRandom before = state.Random;
        spawner.SpawnMonsters();
        EXPECT_EQ(DrawsBetween(before, state.Random), c.Draws);
    }

    // Misses for indexes 0 to 2, a hit for the Truck: the Mega is not rolled.
    state = TGameState{};
    StartLevel(7);
    pools.Adds.clear();
    pools.FreeMonsterSlots = 10;
    state.Random.Seed(FindSeed([](TGameRandom& r) {
        return r(10000) >= 71 && r(10000) >= 71 && r(10000) >= 28 && r(10000) < 14;
    }));
    state.Progress.MonsterTimer = 1000;
    const TGameRandom before = state.Random;
    spawner.SpawnMonsters();
    EXPECT_EQ(DrawsBetween(before, state.Random), 4);
    ASSERT_EQ(pools.Adds.size(), 1u);
    EXPECT_EQ(pools.Adds[0].Kind, 3);
    EXPECT_EQ(state.Progress.MonsterTimer, 0);
}

TEST_F(Spawner, SeveralObjectsMayEnterInOneFrame) {
    StartLevel(5);
    OnlyEnemy(5, 1);
    state.Progress.EnemyEnabled[6] = true; // both gun types at chance 500 each
    state.Random.Seed(FindSeed([](TGameRandom& r) { return r(10000) < 500 && r(10000) < 500; }));
    state.Progress.GunTimer = 2000;
    spawner.SpawnGroundGuns();
    ASSERT_EQ(pools.Adds.size(), 2u);
    EXPECT_EQ(pools.Adds[0].Kind, 0);
    EXPECT_EQ(pools.Adds[1].Kind, 1);
}

TEST_F(Spawner, NothingEntersBeforeALevelHasSetTheDivisors) {
    state.Progress.EnemyEnabled.fill(true);
    state.Progress.BonusEnabled.fill(true);
    state.Progress.MonstersLeft = 10;
    state.Progress.MonsterTimer = state.Progress.GunTimer = state.Progress.BonusTimer = 5000;
    spawner.SpawnGroundGuns();
    spawner.SpawnMonsters();
    spawner.SpawnBonuses();
    EXPECT_TRUE(pools.Adds.empty());
}

} // namespace
} // namespace vantorel

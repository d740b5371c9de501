#include "gameplay/spawner.hpp"

#include "gameplay/spawn_target.hpp"
#include "objects/object_kinds.hpp"
#include "state/game_state.hpp"

#include <array>
#include <cmath>

namespace vantorel {
namespace {

constexpr int32_t kEnterX = 900;
constexpr int32_t kGunY = 490;
constexpr int32_t kEnemyZ = 6;
constexpr int32_t kBonusZ = 9;
constexpr int32_t kGunDelayMs = 2000;
constexpr int32_t kMonsterDelayMs = 1000;
constexpr int32_t kBonusDelayMs = 1000;
constexpr int32_t kGunEnemyIndex[2] = {5, 6};

struct TMonsterRow {
    int32_t Numerator;
    int32_t Kind;
};
constexpr std::array<TMonsterRow, 5> kMonsters = {{
    {500, 0}, // CosmoStorm
    {500, 1}, // UFO
    {200, 2}, // Rocketer
    {100, 3}, // Truck
    {100, 5}, // Mega
}};

/// By bonus index (TBonusTraits::Index); index 0 unused.
constexpr std::array<double, 11> kBonusWeights = {
    0.0,
    0.5,  // laser gun
    0.5,  // plasma gun
    0.5,  // rocket gun
    0.5,  // rail gun
    0.6,  // shield
    0.3,  // double laser
    0.2,  // triple plasma
    0.3,  // double rocket
    0.15, // mega bomb
    0.1,  // life
};

bool InRange(int32_t v, int32_t lo, int32_t hi) {
    return lo <= v && v <= hi;
}

// Timers keep growing while a pool stays full; they stop short of overflowing.
void GrowTimer(int32_t& timer, int32_t step) {
    if (timer <= INT32_MAX - step)
        timer += step;
}

} // namespace

int32_t TSpawner::MonsterNumerator(int32_t enemyIndex) {
    return InRange(enemyIndex, 0, 4) ? kMonsters[static_cast<size_t>(enemyIndex)].Numerator : 0;
}

int32_t TSpawner::MonsterKindOfEnemy(int32_t enemyIndex) {
    return InRange(enemyIndex, 0, 4) ? kMonsters[static_cast<size_t>(enemyIndex)].Kind : -1;
}

double TSpawner::BonusWeight(int32_t bonusIndex) {
    return InRange(bonusIndex, 1, 10) ? kBonusWeights[static_cast<size_t>(bonusIndex)] : 0.0;
}

// Before any level has set the divisors nothing may enter, and nothing divides by zero.

int32_t TSpawner::GroundGunChance() const {
    if (state_.Progress.EnemyTypeCount <= 0)
        return 0;
    const double d = state_.Progress.TruckPresent ? 0.5 : state_.Progress.MegaPresent ? 0.3 : 1.0;
    return static_cast<int32_t>(std::trunc(500 * d)) / state_.Progress.EnemyTypeCount;
}

int32_t TSpawner::MonsterChance(int32_t enemyIndex) const {
    if (state_.Progress.EnemyTypeCount <= 0)
        return 0;
    return MonsterNumerator(enemyIndex) / state_.Progress.EnemyTypeCount;
}

double TSpawner::BonusChance(int32_t bonusIndex) const {
    if (state_.Progress.BonusTypeCount <= 0)
        return 0.0;
    return static_cast<double>(500 / state_.Progress.BonusTypeCount) * BonusWeight(bonusIndex) *
           0.8;
}

void TSpawner::SpawnGroundGuns() {
    TGameState& s = state_;
    GrowTimer(s.Progress.GunTimer, s.Timing.FrameMs);
    if (s.Progress.GunTimer <= kGunDelayMs || s.Progress.LevelFinishing ||
        s.Progress.EnemyTypeCount <= 0)
        return;
    for (int32_t kind = 0; kind < 2; ++kind) {
        if (!s.Progress.EnemyEnabled[static_cast<size_t>(kGunEnemyIndex[kind])])
            continue;
        const int32_t r = s.Random(10000);
        if (GroundGunChance() > r)
            target_.AddGroundGun(kEnterX, kGunY, kEnemyZ, kind);
    }
}

void TSpawner::SpawnMonsters() {
    TGameState& s = state_;
    GrowTimer(s.Progress.MonsterTimer, s.Timing.FrameMs);
    if (s.Progress.MonsterTimer <= kMonsterDelayMs || s.Progress.MonstersLeft <= 0 ||
        s.Progress.LevelFinishing || s.Progress.EnemyTypeCount <= 0)
        return;
    for (int32_t i = 0; i < static_cast<int32_t>(kMonsters.size()); ++i) {
        if (!s.Progress.EnemyEnabled[static_cast<size_t>(i)])
            continue;
        // Read afresh for every index: a Truck or Mega added just now blocks the rest.
        if (i > 0 && (s.Progress.TruckPresent || s.Progress.MegaPresent))
            continue;
        const int32_t r = s.Random(10000);
        if (MonsterChance(i) > r)
            target_.AddMonster(kEnterX, 0, kEnemyZ, MonsterKindOfEnemy(i));
    }
}

void TSpawner::SpawnBonuses() {
    TGameState& s = state_;
    GrowTimer(s.Progress.BonusTimer, s.Timing.FrameMs);
    if (s.Progress.BonusTimer <= kBonusDelayMs || s.Progress.LevelFinishing ||
        s.Progress.BonusTypeCount <= 0)
        return;
    for (int32_t i = 1; i <= 10; ++i) {
        if (!s.Progress.BonusEnabled[static_cast<size_t>(i)])
            continue;
        const int32_t r = s.Random(20000);
        if (BonusChance(i) >= r)
            target_.AddBonus(kEnterX, 100 + s.Random(370), kBonusZ,
                             static_cast<int32_t>(BonusKindOfIndex(i).value()));
    }
}

} // namespace vantorel

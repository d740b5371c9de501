// The per-frame decisions of a game about what enters from the right: ground
// guns, monsters and bonuses, each rolled against the level's chances.
#pragma once

#include <cstdint>

namespace vantorel {

class ISpawnTarget;
struct TGameState;

/// Runs once per game frame, after the move pass. Every chance is a roll of the
/// program's one generator (TGameState::Random); the arithmetic below is the
/// game's balance and is kept exact.
class TSpawner {
public:
    TSpawner(TGameState& state, ISpawnTarget& target) : state_(state), target_(target) {}

    /// Chance numerators out of 10000 per frame, by enemy index 0..4 (monsters).
    static int32_t MonsterNumerator(int32_t enemyIndex);
    /// The monster kind of enemy index 0..4 (the Mega is kind 5; kind 4, the
    /// Destroyer, is only launched by Trucks).
    static int32_t MonsterKindOfEnemy(int32_t enemyIndex);
    /// The weight of bonus index 1..10 (TBonusTraits::Index) in the bonus chance; 0 outside.
    static double BonusWeight(int32_t bonusIndex);

    /// The per-frame chance of a ground gun out of 10000: trunc(500 x d) div
    /// EnemyTypeCount with d 0.5 while a Truck is on the field, else 0.3 while a
    /// Mega is, else 1.
    int32_t GroundGunChance() const;
    /// The per-frame chance of enemy index 0..4 out of 10000.
    int32_t MonsterChance(int32_t enemyIndex) const;
    /// The per-frame chance of bonus index 1..10 out of 20000, compared with >=:
    /// (500 div BonusTypeCount) x weight x 0.8 in floating point.
    double BonusChance(int32_t bonusIndex) const;

    /// GunTimer grows by FrameMs; past 2000 ms (and not while the level ends) each
    /// enabled gun type rolls Random(10000) against GroundGunChance and enters at
    /// (900, 490) with Z 6.
    void SpawnGroundGuns();
    /// MonsterTimer grows by FrameMs; past 1000 ms, with kills still owed and the
    /// level not ending, enemy indexes 0..4 roll in order. While a Truck or a Mega
    /// is on the field only index 0 may roll; a Truck or Mega that enters blocks
    /// the later indexes of the same frame. Monsters enter at (900, 0), Z 6.
    void SpawnMonsters();
    /// BonusTimer grows by FrameMs; past 1000 ms (and not while the level ends)
    /// each enabled bonus index rolls Random(20000) against BonusChance and enters
    /// at (900, 100 + Random(370)) with Z 9.
    void SpawnBonuses();

private:
    TGameState& state_;
    ISpawnTarget& target_;
};

} // namespace vantorel

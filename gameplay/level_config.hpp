// What each level lets in: the enemy types, the bonuses and the quota of kills.
#pragma once

#include <array>
#include <cstdint>

namespace vantorel {

struct TGameProgress;

/// The spawn set-up of one level. Enemy indexes: 0 CosmoStorm, 1 UFO, 2 Rocketer,
/// 3 Truck, 4 Mega (monster kinds 0, 1, 2, 3, 5), 5 plasma turret, 6 rocket
/// launcher (ground gun kinds 0, 1). Bonus indexes 1..10 follow the player's
/// weapon slots (see TSpawner for their kinds and weights).
struct TLevelConfig {
    std::array<bool, 7> EnemyEnabled{};
    /// Index 0 unused.
    std::array<bool, 11> BonusEnabled{};
    /// The number of enabled enemy indexes; divides every enemy chance.
    int32_t EnemyTypeCount = 0;
    /// The enabled bonus indexes among 1..7 only; divides every bonus chance.
    int32_t BonusTypeCount = 0;
    /// Kills by damage needed to finish the level: 10 per level number.
    int32_t MonstersLeft = 0;

    /// The set-up of level (1 upward). From level 7 on every enemy is in and only
    /// the quota grows; a level below 1 is treated as level 1 for the mix.
    static TLevelConfig ForLevel(int32_t level);

    /// Writes the enabled flags, both counts and MonstersLeft into the state.
    void ApplyTo(TGameProgress& progress) const;
};

} // namespace vantorel

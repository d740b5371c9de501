// The game in progress: score, lives and level, what the level still asks for, and
// the spawn timers. Reset by every new game and level; the last name typed stays
// from one game to the next.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vantorel {

struct TGameProgress {
    int32_t Score = 0;
    int32_t Lives = 0;
    int32_t Level = 0;
    /// The last name typed; kept from one game to the next, never saved.
    std::string PlayerName;
    /// Kills still needed to finish the level.
    int32_t MonstersLeft = 0;
    bool LevelFinishing = false;
    bool TruckPresent = false;
    bool MegaPresent = false;
    /// Enemy indexes 0..6 the spawners may choose this level.
    std::array<bool, 7> EnemyEnabled{};
    int32_t EnemyTypeCount = 0;
    /// Bonus indexes 1..10 (0 unused).
    std::array<bool, 11> BonusEnabled{};
    int32_t BonusTypeCount = 0;
    /// Spawn timers in ms: grow by FrameMs each frame, reset to 0 by each add.
    int32_t GunTimer = 0;
    int32_t MonsterTimer = 0;
    int32_t BonusTimer = 0;
};

} // namespace vantorel

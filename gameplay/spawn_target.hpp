// Where the spawners put the objects they let in: the game's slot pools.
#pragma once

#include <cstdint>

namespace vantorel {

/// The add operations of the monster, ground-gun and bonus pools. Each takes the
/// first free slot and resets its pool's spawn timer; a full pool drops the
/// request silently and leaves the timer running.
class ISpawnTarget {
public:
    virtual ~ISpawnTarget() = default;
    /// x, y: top-left corner in display pixels (a monster picks its own height).
    virtual void AddMonster(int32_t x, int32_t y, int32_t z, int32_t kind) = 0;
    virtual void AddGroundGun(int32_t x, int32_t y, int32_t z, int32_t kind) = 0;
    virtual void AddBonus(int32_t x, int32_t y, int32_t z, int32_t kind) = 0;
};

} // namespace vantorel

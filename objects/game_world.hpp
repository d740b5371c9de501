// What the game objects ask of the slot pools that hold them: a ship or a monster
// fires into the bullet pool, a carrier launches a drone into the monster pool, a
// bullet finds the monster or gun it sticks to by slot number, a rail removes
// itself. The gameplay layer implements it (TGamePools).
//
// The rest of what objects do to the game goes elsewhere: score, lives and the
// level's kill quota (MonstersLeft) are written straight into the shared state,
// and the player's last respawn opens the game-over window and plays sounds
// through the main window's shell (IGameShell).
#pragma once

#include <cstdint>

namespace vantorel {

class TBullet;
class TGroundGun;
class TMonster;

enum class TBulletKind : uint8_t { Laser = 0, Plasma = 1, Rail = 2, Rocket = 3 };
enum class TBulletOwner : uint8_t { Player = 0, Enemy = 1 };

/// Slots are numbered from 1; every lookup returns the slot's current occupant,
/// or none for an empty slot or a number outside the pool.
class IGameWorld {
public:
    static constexpr int32_t kBulletSlots = 50;
    static constexpr int32_t kGroundGunSlots = 5;
    static constexpr int32_t kMonsterSlots = 10;
    static constexpr int32_t kBonusSlots = 5;

    virtual ~IGameWorld() = default;

    /// A bullet in the first free slot (see TBullet for the arguments); none when
    /// all 50 slots are taken, which the shooter is not told about.
    virtual TBullet* AddBullet(int32_t x, int32_t y, int32_t z, int32_t speed, int32_t angle,
                               TBulletKind kind, TBulletOwner owner, int32_t shooterSlot) = 0;
    /// A monster of kind 0..5 in the first free slot, top-left (x, y); most kinds
    /// choose their own height. Dropped when the pool is full.
    virtual void AddMonster(int32_t x, int32_t y, int32_t z, int32_t kind) = 0;
    /// Frees the bullet's slot if the slot still holds this very bullet; a bullet
    /// already removed, or a stale reference, changes nothing.
    virtual void RemoveBullet(const TBullet& bullet) = 0;
    /// Removes every rail beam the player fired (the ship has exploded).
    virtual void RemovePlayerRails() = 0;

    virtual TBullet* Bullet(int32_t slot) const = 0;
    virtual TMonster* Monster(int32_t slot) const = 0;
    virtual TGroundGun* GroundGun(int32_t slot) const = 0;
};

} // namespace vantorel

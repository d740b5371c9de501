// What the game objects ask of the slot pools that hold them: a ship or a monster
// fires into the bullet pool, a carrier launches a drone into the monster pool, a
// bullet finds the monster or gun it sticks to by slot number, a rail removes
// itself. The gameplay layer implements it (TGamePools).
//
// It is also the objects' only door out of the play field: the sounds they make
// go to its sound sink, and what happens when two of them touch is decided by
// the collision rules behind Collide. Score, lives and the level's kill quota
// (MonstersLeft) are written straight into the shared state.
#pragma once

#include <cstdint>

namespace vantorel {

class ISoundSink;
class TBullet;
class TGroundGun;
class TMonster;
class TMyImageSprite;
class TSprite;
struct TGameSprites;

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

    /// Called from a collision search that searcher runs, for each sprite other
    /// it touches: runs the rule for the pair of their categories, when searcher's
    /// HitMask holds other's category; any other pair does nothing.
    virtual void Collide(TMyImageSprite& searcher, TSprite& other) = 0;
    /// Where the objects' sound effects go.
    virtual ISoundSink& Sound() const = 0;
    /// The game's fixed sprites: the ship to aim at, the hills that set the
    /// ground's speed, the ship's flames, flash and shield.
    virtual TGameSprites& FixedSprites() const = 0;

    virtual TBullet* Bullet(int32_t slot) const = 0;
    virtual TMonster* Monster(int32_t slot) const = 0;
    virtual TGroundGun* GroundGun(int32_t slot) const = 0;
};

} // namespace vantorel

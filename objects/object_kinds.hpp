// The kinds of monsters, bonuses and ground guns, and what each kind is made of:
// pictures, hit points, sounds. The numbers of the kinds are the ones the level
// configurations and the spawners use and must keep their values.
#pragma once

#include "objects/game_world.hpp"

#include <cstdint>
#include <optional>
#include <span>

namespace vantorel {

enum class TMonsterKind : uint8_t {
    CosmoStorm = 0,
    UFO = 1,
    Rocketer = 2,
    /// Launches Destroyers.
    Truck = 3,
    Destroyer = 4,
    /// The boss.
    Mega = 5,
};

enum class TBonusKind : uint8_t {
    LaserGun = 0,
    PlasmaGun = 1,
    RocketGun = 2,
    RailGun = 3,
    Shield = 4,
    MegaBomb = 5,
    Life = 6,
    LaserGun2x = 7,
    PlasmaGun3x = 8,
    RocketGun2x = 9,
};

enum class TGunKind : uint8_t { Plasma = 0, Rocket = 1 };

struct TMonsterTraits {
    const char* Picture;
    int32_t HitPoints;
    /// Played when it explodes.
    const char* ExplosionSound;
};

struct TBonusTraits {
    const char* Picture;
    /// The bonus index: the player's weapon slot and the spawners' order. 1..4 the
    /// laser, plasma, rocket and rail guns, 5 the shield, 6..8 the doubled and
    /// tripled guns, 9 the mega bomb, 10 a life.
    int32_t Index;
};

struct TGunTraits {
    const char* Base;
    const char* Barrel;
    /// Barrel pivot from the gun's top-left corner, in pixels.
    int32_t PivotX, PivotY;
    /// Pixels per frame at 85 fps.
    int32_t ShotSpeed;
    TBulletKind Shot;
    /// The muzzle flash, none for the rocket launcher.
    const char* Flash;
};

const TMonsterTraits& TraitsOf(TMonsterKind kind);
const TBonusTraits& TraitsOf(TBonusKind kind);
const TGunTraits& TraitsOf(TGunKind kind);

/// Every kind, in number order.
std::span<const TMonsterKind> AllMonsterKinds();
std::span<const TBonusKind> AllBonusKinds();
std::span<const TGunKind> AllGunKinds();

/// The kind with a level configuration's or spawner's number; none outside the range.
std::optional<TMonsterKind> MonsterKindOf(int32_t number);
std::optional<TBonusKind> BonusKindOf(int32_t number);
std::optional<TGunKind> GunKindOf(int32_t number);
/// The bonus kind whose index (TBonusTraits::Index) is index; none outside 1..10.
std::optional<TBonusKind> BonusKindOfIndex(int32_t index);

} // namespace vantorel

// How each monster kind enters, flies and fires: one row per kind, read by
// TMonster. The numbers are the game's balance and are kept exact; the order of
// the rolls is the order the generator is drawn in.
#pragma once

#include "objects/game_world.hpp"
#include "objects/object_kinds.hpp"

#include <cstdint>
#include <optional>
#include <span>

namespace vantorel {

/// Base + Random(Span) from the game's generator; a Span of 0 draws nothing.
struct TRoll {
    int32_t Base;
    int32_t Span;
};

/// From the monster's top-left corner, in pixels.
struct TMonsterOffset {
    int32_t DX;
    int32_t DY;
};

/// Heights of the top edge and the bottom edge the monster bounces between.
struct TMonsterBand {
    int32_t Top;
    int32_t Bottom;
};

/// What a kind does besides flying straight, turning and bouncing.
enum class TFlightPattern : uint8_t {
    Straight,
    /// A wave between heights 175 and 340 whose shape follows X (the UFO).
    Wave,
    /// Stops at X 500 for 10 s, then flies on to X 200 and stays there (the Truck).
    StopAndGo,
    /// Stops at X 450, then wanders a box, a new direction every 4 s (the Mega).
    Wander,
};

/// A muzzle flash, hidden until a shot shows it.
struct TMonsterMuzzle {
    const char* Picture;
    TMonsterOffset At;
    /// Depth above the monster's.
    int32_t DZ;
};

/// One shot of a kind's volley.
struct TMonsterShot {
    TMonsterOffset From;
    /// Depth above the monster's.
    int32_t DZ;
    /// Pixels per frame at 85 fps; negative flies left.
    int32_t Speed;
    TRoll Angle;
    TBulletKind Kind;
    /// Fired only when a Random(2) toss comes up 1, drawn before the angle.
    bool OnCoinToss;
    /// The muzzle flash shown (index into the kind's muzzles), -1 for none.
    int32_t Muzzle;
    /// The bullet carries the monster's slot (the Mega's rail).
    bool CarriesSlot;
};

/// A monster launched instead of a shot (the Truck's Destroyers).
struct TMonsterLaunch {
    TMonsterKind Kind;
    TMonsterOffset At;
};

struct TMonsterBehaviour {
    /// The row's own kind: rows are stored by kind.
    TMonsterKind Kind;
    /// Entry height; none keeps the height it is given (a Destroyer leaving its Truck).
    std::optional<TRoll> EnterY;
    /// Pixels per frame at 85 fps; rolled in this order after the height.
    TRoll VX;
    TRoll VY;
    /// Shots (or launches) it carries, rolled last.
    TRoll Ammo;
    /// Picks a new vertical speed -2..1 every second.
    bool TurnsAtRandom;
    /// Bounces between these heights; none flies on.
    std::optional<TMonsterBand> Band;
    TFlightPattern Pattern;
    /// Engine flames ("EngineFireR"); at most TMonster::Flames' size.
    std::span<const TMonsterOffset> Flames;
    /// At most TMonster::Muzzles' size.
    std::span<const TMonsterMuzzle> Muzzles;
    /// What one Fire shoots, in order.
    std::span<const TMonsterShot> Volley;
    /// Made by Fire before the volley.
    std::optional<TMonsterLaunch> Launch;
    /// Milliseconds before it may fire again, set by every Fire of a kind that
    /// has something to fire.
    int32_t FireCooldownMs;
};

const TMonsterBehaviour& BehaviourOf(TMonsterKind kind);

} // namespace vantorel

// The player's ship: it flies by relative mouse movement and the direction
// states, fires the weapon it holds, collects bonuses, takes hits, explodes,
// comes back while lives remain and fades out at the end of each level. It owns
// the weapon timers and the rules of weapon pick-up.
#pragma once

#include "objects/game_world.hpp"
#include "objects/my_image_sprite.hpp"
#include "objects/object_kinds.hpp"

#include <array>
#include <cstdint>

namespace vantorel {

class TSprite;

/// States of the ship.
enum class TPlayerState : uint8_t { Appearing = 0, Flying = 1, Exploding = 2 };

/// Weapons as FireWeapon numbers them.
enum class TPlayerWeapon : uint8_t {
    Laser = 0,
    Plasma = 1,
    Rocket = 2,
    Rail = 3,
    DoubleLaser = 4,
    TriplePlasma = 5,
    DoubleRocket = 6,
};

/// Weapon slots are the bonus indexes 1..8 (TBonusTraits::Index); slot 5 is the
/// shield, which is held beside a weapon. The companions (the two engine flames,
/// the muzzle flash and the shield) are the shared state's sprites; the ship
/// moves and shows them, and works without them.
class TPlayer : public TMyImageSprite {
public:
    static constexpr int32_t kShieldSlot = 5;
    static constexpr int32_t kStartX = 30;
    static constexpr int32_t kStartY = 221;

    /// At (30, 221) with Z 10, picture "Player", at rest; a new game: Lives 3,
    /// Score 0. The game start then calls Respawn.
    TPlayer(TGameContext& context, IGameWorld& world);

    /// Creates the four companions into the shared state (EngineFlame1,
    /// EngineFlame2, MuzzleFlash, ShieldSprite) next to the ship, as the game
    /// start needs them.
    void CreateCompanions();
    /// Once a game frame after the move pass: FireHeld from the frame's input
    /// snapshot; the four move requests from its steering, unless the
    /// ship is exploding (they then keep their last values).
    void ReadControls();

    void HandleCollision(TSprite& other, bool& done) override;
    void MoveSelf(int32_t moveCount) override;

    /// The flames, muzzle flash and shield to their places beside the ship.
    void PlaceCompanions();
    /// Back at the start, fading in (invulnerable); with no life left it plays
    /// "GameOver" and raises LastLifeGone instead.
    void Respawn();
    /// The level is done: the ship fades out by 2 per frame and stops firing.
    void StartLeaving();
    /// The fade-in is over: the ship can be hit.
    void BecomeSolid();
    void TakeDamage(int32_t amount);
    /// Explodes, loses a life (never below 0), drops its weapons and rail beams.
    void Die();
    /// One more life, up to 3.
    void AddLife();
    /// 10 damage, with score, to every active ground gun, then every active monster.
    void MegaBomb();
    /// Fires each weapon held, lowest slot first (the cooldown lets only one shoot).
    void FireAll();
    /// One shot of weapon, unless cooling down or leaving.
    void FireWeapon(TPlayerWeapon weapon);
    /// Takes the weapon or shield of bonus kind: a weapon replaces the one held;
    /// 15000 ms for weapons, 5000 ms for the shield.
    /// The mega bomb and the life are not held: nothing.
    void ArmBonus(TBonusKind kind);
    void DisarmBonus(TBonusKind kind);
    /// Drops the weapons and the shield.
    void DisarmAll();
    /// Drops the weapons, keeps the shield.
    void DisarmWeapons();
    /// A weapon (not the shield) is held.
    bool HasWeapon() const;
    bool ShieldOn() const { return WeaponOn[kShieldSlot]; }
    /// Re-arms the laser when nothing is held, then runs down the weapon timers.
    void UpdateWeapons();

    /// Keyboard and joystick move requests.
    bool MoveLeft = false;
    bool MoveRight = false;
    bool MoveUp = false;
    bool MoveDown = false;
    /// Per weapon slot 1..8 (index 0 unused).
    std::array<bool, 9> WeaponOn{};
    /// Milliseconds left per weapon slot 1..8.
    std::array<int32_t, 9> WeaponTime{};
    /// Milliseconds until the next shot.
    int32_t FireCooldown = 0;
    TPlayerState State = TPlayerState::Appearing;
    /// Milliseconds left of the explosion.
    int32_t DeathTimer = 0;
    int32_t HitPoints = 0;
    /// Fading out at the end of a level.
    bool Leaving = false;
    bool FireHeld = false;
    /// Raised by a Respawn that found no life left; the game flow opens the
    /// game-over window and lowers it.
    bool LastLifeGone = false;

private:
    /// Shows the picture matching the vertical movement since the last check,
    /// every 10th frame, while the ship shows its own picture.
    void Tilt();
    void AddToAlpha(int32_t delta);
    TGameSprites& Fixed() const { return world_.FixedSprites(); }

    IGameWorld& world_;
    int32_t tiltCountdown_ = 0;
    int32_t tiltLastY_ = 0;
};

} // namespace vantorel

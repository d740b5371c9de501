// Every projectile, the player's and the enemies': laser bolts, plasma balls, rail
// beams and rockets. A bullet flies straight at an integer velocity taken from its
// speed and angle, finds its own hits, deals its damage once and turns into its
// explosion, which rides along with what it hit.
#pragma once

#include "objects/game_world.hpp"
#include "objects/my_image_sprite.hpp"

#include <cstdint>

namespace vantorel {

class TSprite;

/// Integer pixels per frame at 85 fps.
struct TIntVelocity {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TIntVelocity&) const = default;
};

/// What an exploded bullet stays attached to.
enum class TStickMode : uint8_t { Free = 0, Player = 1, Monster = 2, GroundGun = 3 };

class TBullet : public TMyImageSprite {
public:
    /// Called by the bullet pool. speed: pixels per frame at 85 fps along angle
    /// (256ths of a turn, 0 right, 64 down; a negative speed flies backwards).
    /// shooterSlot: for an enemy rail, the monster slot of the monster that fired
    /// it, whose position the drawn beam follows.
    TBullet(TGameContext& context, IGameWorld& world, int32_t slot, int32_t x, int32_t y, int32_t z,
            int32_t speed, int32_t angle, TBulletKind kind, TBulletOwner owner,
            int32_t shooterSlot);

    /// trunc(cos(angle) x speed), trunc(sin(angle) x speed), each toward zero.
    static TIntVelocity VelocityFor(int32_t speed, int32_t angle);
    /// VX, VY from Speed and Angle.
    void SetVelocity();
    /// Attaches the bullet to the player, or to the monster or ground gun in slot
    /// index, half-way between both centres.
    void StickTo(TStickMode mode, int32_t index);
    /// Lets go of the target (the pool removes it); the explosion stays where it is.
    void Detach();
    /// Turns into the kind's explosion (a rail is removed, a laser bolt hidden).
    void Explode();

    void HandleCollision(TSprite& other, bool& done) override;
    void DrawSelf() override;
    void MoveSelf(int32_t moveCount) override;

    /// The sprite this bullet stuck to when it exploded; compared, never followed,
    /// by the pools' consistency check.
    const TSprite* StickTarget() const { return stickTarget_; }
    /// The monster that fired this enemy rail, likewise only for comparison.
    const TSprite* Shooter() const { return shooter_; }

    TBulletOwner Owner = TBulletOwner::Player;
    /// The bullet's slot 1..50 in its pool.
    int32_t Slot = 0;
    int32_t Speed = 0;
    int32_t VX = 0;
    int32_t VY = 0;
    int32_t Angle = 0;
    int32_t ShooterSlot = 0;
    /// Rockets: milliseconds to the next speed step.
    int32_t AccelTimer = 0;
    TBulletKind Kind = TBulletKind::Laser;
    /// Rockets: the flame behind it, drawn by the rocket (the sprite itself is hidden).
    TMyImageSprite* Exhaust = nullptr;
    bool ExhaustOn = false;
    /// Exploded: it neither flies on nor collides.
    bool Spent = false;
    /// Hit points taken from what it hits.
    int32_t Damage = 0;
    TStickMode StickMode = TStickMode::Free;
    /// Monster or ground-gun slot of the target.
    int32_t StickIndex = 0;
    /// The bullet's top-left corner relative to the target's, in pixels.
    int32_t StickDX = 0;
    int32_t StickDY = 0;

private:
    /// The player, or the occupant of StickIndex for the stick mode; none if gone.
    TMyImageSprite* StickTargetNow() const;
    /// Moves a rail, pierces monsters and removes it at the end of its reach;
    /// false once it has been removed.
    bool MoveRail();
    void DrawRail();
    bool Removed() const { return world_.Bullet(Slot) != this; }

    IGameWorld& world_;
    const TSprite* stickTarget_ = nullptr;
    const TSprite* shooter_ = nullptr;
};

} // namespace vantorel

// A turret standing on the scrolling ground whose barrel turns towards the player
// and fires plasma balls or rockets, as its kind does.
#pragma once

#include "objects/game_world.hpp"
#include "objects/my_image_sprite.hpp"
#include "objects/object_kinds.hpp"

#include <cstdint>

namespace vantorel {

class TPictureCollectionItem;

class TGroundGun : public TMyImageSprite {
public:
    /// Called by the ground-gun pool: a plasma turret or a rocket launcher,
    /// top-left (x, y).
    TGroundGun(TGameContext& context, IGameWorld& world, TGunKind kind, int32_t slot, int32_t x,
               int32_t y, int32_t z);

    /// The barrel angle for a target dx, dy pixels from the gun's top-left corner:
    /// 256ths of a turn, 0 straight up, 64 flat right, -64 flat left, clamped to
    /// -64..64 and truncated.
    static int32_t AimAngle(double dx, double dy);
    /// The barrel angle towards a point lead pixels ahead of the player's centre;
    /// the current Aim when there is no player.
    int32_t ComputeAim(int32_t lead) const;

    void MoveSelf(int32_t moveCount) override;
    /// The base, then the rotated barrel and the muzzle flash.
    void DrawSelf() override;
    /// A shot from the barrel tip, 70 pixels from the pivot along Aim.
    void Fire();
    /// Loses amount hit points; the first time they run out the player scores
    /// 5 x MaxHitPoints, then it explodes. Gun kills do not count for the quota.
    void TakeDamage(int32_t amount);
    /// Turns into its explosion without score; nothing if destroyed already.
    void Explode();

    TGunKind Kind = TGunKind::Plasma;
    bool Destroyed = false;
    /// The gun's slot 1..5 in its pool.
    int32_t Slot = 0;
    /// Barrel angle in 256ths of a turn, -64..64, 0 straight up.
    int32_t Aim = 0;
    /// The plasma turret's muzzle flash (none for the rocket launcher), never shown itself; the gun
    /// draws it rotated.
    TMyImageSprite* GunFlash = nullptr;
    TPictureCollectionItem* Barrel = nullptr;
    /// Barrel pivot from the gun's top-left corner, in pixels.
    int32_t PivotX = 0;
    int32_t PivotY = 0;
    /// The pivot as a fraction of the barrel picture's pattern size.
    double PivotU = 0;
    double PivotV = 0;
    /// The muzzle flash is showing.
    bool Firing = false;
    int32_t MaxHitPoints = 0;
    int32_t HitPoints = 0;

private:
    IGameWorld& world_;
};

} // namespace vantorel

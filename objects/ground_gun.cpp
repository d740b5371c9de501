#include "objects/ground_gun.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "objects/collision_category.hpp"
#include "objects/game_sprites.hpp"
#include "objects/player.hpp"
#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"
#include "state/sound_sink.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantorel {

namespace {

/// Radians per 256th of a turn.
constexpr double kAngleUnit = 2 * std::numbers::pi / 256;
/// Distance from the pivot to the barrel tip, where shots start.
constexpr double kBarrelLength = 70;
constexpr int32_t kAimLead = 100;

} // namespace

TGroundGun::TGroundGun(TGameContext& context, IGameWorld& world, TGunKind kind, int32_t slot,
                       int32_t x, int32_t y, int32_t z)
    : TMyImageSprite(context, 2), Kind(kind), Slot(slot), world_(world) {
    const TGunTraits& traits = TraitsOf(Kind);
    SetImageByName(traits.Base);
    X = x;
    Y = y;
    SetZ(z);
    Barrel = &context.Images2.Items.Find(traits.Barrel);
    PivotX = traits.PivotX;
    PivotY = traits.PivotY;
    PivotU = Barrel->Width() > 0 ? static_cast<double>(PivotX) / Barrel->Width() : 0;
    PivotV = Barrel->Height() > 0 ? static_cast<double>(PivotY) / Barrel->Height() : 0;
    if (traits.Flash != nullptr) {
        GunFlash = CreateAt(context, 2, traits.Flash, static_cast<int32_t>(X + 37),
                            static_cast<int32_t>(Y + 63), 6);
        GunFlash->Visible = false;
        GunFlash->HideAtAnimEnd = true;
        GunFlash->AnimPercent = 30;
    }
    Contents = CategoryBit(TCategory::GroundGun);
    HitPoints = 2;
    MaxHitPoints = HitPoints;
    Aim = -16;
    Firing = false;
    Destroyed = false;
}

int32_t TGroundGun::AimAngle(double dx, double dy) {
    double a = 0;
    if (dx > 0)
        a = std::atan(dy / dx) / (2 * std::numbers::pi) * 256 + 64;
    else if (dx < 0)
        a = std::atan(dy / dx) / (2 * std::numbers::pi) * 256 - 64;
    return static_cast<int32_t>(std::clamp(a, -64.0, 64.0));
}

int32_t TGroundGun::ComputeAim(int32_t lead) const {
    const TPlayer* player = world_.FixedSprites().Player;
    if (player == nullptr)
        return Aim;
    return AimAngle(player->CenterX - X + lead, player->CenterY - Y);
}

void TGroundGun::MoveSelf(int32_t moveCount) {
    TMyImageSprite::MoveSelf(moveCount);
    TGameState& state = Context().State;
    if (Firing && GunFlash != nullptr && GunFlash->AnimPositionBefore > GunFlash->AnimPosition)
        Firing = false;
    if (!Destroyed && state.Random(100) == 1)
        Fire();
    X += GroundSpeed(world_.FixedSprites()) * state.Timing.FrameFactor;
    Aim = ComputeAim(kAimLead);
}

void TGroundGun::Fire() {
    const double angle = Aim * kAngleUnit;
    const auto x = static_cast<int32_t>(std::sin(angle) * kBarrelLength + PivotX + X);
    const auto y = static_cast<int32_t>(PivotY + Y - std::cos(angle) * kBarrelLength);
    const TGunTraits& traits = TraitsOf(Kind);
    if (GunFlash != nullptr) {
        Firing = true;
        GunFlash->RestartAnimation();
    }
    world_.AddBullet(x, y, Z(), traits.ShotSpeed, Aim - 64, traits.Shot, TBulletOwner::Enemy, 0);
}

void TGroundGun::DrawSelf() {
    TMyImageSprite::DrawSelf();
    if (Engine() == nullptr)
        return;
    TDirectDrawSurface* surface = Engine()->Surface();
    if (!Destroyed && Barrel != nullptr) {
        Barrel->DrawRotated(surface, static_cast<int32_t>(PivotX + X),
                            static_cast<int32_t>(PivotY + Y), Barrel->Width(), Barrel->Height(), 0,
                            PivotU, PivotV, Aim);
    }
    if (Firing && GunFlash != nullptr && GunFlash->Image() != nullptr) {
        const TPictureCollectionItem& flash = *GunFlash->Image();
        flash.DrawRotated(surface, static_cast<int32_t>(X + 38), static_cast<int32_t>(Y + 63),
                          flash.Width(), flash.Height(),
                          static_cast<int32_t>(GunFlash->AnimPosition), 0.5, -0.45,
                          Aim == 0 ? -63 : Aim - 64);
    }
}

void TGroundGun::TakeDamage(int32_t amount) {
    HitPoints -= amount;
    if (HitPoints > 0)
        return;
    if (!Destroyed)
        Context().State.Progress.Score += 5 * MaxHitPoints;
    Explode();
}

void TGroundGun::Explode() {
    if (Destroyed)
        return;
    world_.Sound().PlaySound("Explosion2");
    PlayAnimationOnce("Explosion", 20);
    Destroyed = true;
}

} // namespace vantorel

#include "objects/bullet.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "objects/collision_category.hpp"
#include "objects/game_sprites.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantorel {

namespace {

constexpr double kAngleUnit = 2 * std::numbers::pi / 256;
constexpr int32_t kMaxRocketSpeed = 7;
/// A rail reaches this far from its muzzle before it is taken away.
constexpr double kRailReach = 400;
/// Muzzles of the rails relative to the shooter's top-left corner: the player's
/// fires to the right, the Mega's to the left.
constexpr int32_t kPlayerRailDX = 108;
constexpr int32_t kPlayerRailDY = 18;
constexpr int32_t kEnemyRailDX = 39;
constexpr int32_t kEnemyRailDY = 46;
/// Where the rocket's flame sits relative to the rocket.
constexpr int32_t kExhaustDX = 27;
constexpr int32_t kExhaustDY = 26;

struct TKindTraits {
    const char* Picture;
    int32_t Damage;
};
constexpr TKindTraits kKinds[] = {
    {"LaserBullet", 1}, {"PlasmaBullet", 2}, {"RailBullet", 5}, {"RocketBullet", 3}};

} // namespace

TIntVelocity TBullet::VelocityFor(int32_t speed, int32_t angle) {
    return {static_cast<int32_t>(std::cos(angle * kAngleUnit) * speed),
            static_cast<int32_t>(std::sin(angle * kAngleUnit) * speed)};
}

TBullet::TBullet(TGameContext& context, IGameWorld& world, int32_t slot, int32_t x, int32_t y,
                 int32_t z, int32_t speed, int32_t angle, TBulletKind kind, TBulletOwner owner,
                 int32_t shooterSlot)
    : TMyImageSprite(context, 2), world_(world) {
    const TKindTraits& traits = kKinds[static_cast<size_t>(kind)];
    const bool enemyRail = kind == TBulletKind::Rail && owner == TBulletOwner::Enemy;
    SetImageByName(enemyRail ? "RailBulletR" : traits.Picture);
    X = x;
    Y = y;
    SetZ(z);
    Damage = traits.Damage;
    if (kind == TBulletKind::Plasma)
        AnimPercent = 10;
    if (kind == TBulletKind::Rocket) {
        AccelTimer = 100;
        Exhaust = CreateAt(context, 2, "EngineFire", static_cast<int32_t>(X - kExhaustDX),
                           static_cast<int32_t>(Y - kExhaustDY), z);
        Exhaust->AnimPercent = 30;
        Exhaust->Visible = false;
        ExhaustOn = true;
    }
    StickMode = TStickMode::Free;
    PixelCollision = false;
    const bool mine = owner == TBulletOwner::Player;
    Contents = CategoryBit(mine ? TCategory::PlayerBullet : TCategory::EnemyBullet);
    HitMask = mine ? kPlayerBulletHits : kEnemyBulletHits;
    Slot = slot;
    Speed = speed;
    Angle = angle;
    Kind = kind;
    Owner = owner;
    ShooterSlot = shooterSlot;
    if (enemyRail)
        shooter_ = world.Monster(shooterSlot);
    SetVelocity();
    Spent = false;
}

void TBullet::SetVelocity() {
    const TIntVelocity v = VelocityFor(Speed, Angle);
    VX = v.X;
    VY = v.Y;
}

TMyImageSprite* TBullet::StickTargetNow() const {
    switch (StickMode) {
    case TStickMode::Player:
        return world_.FixedSprites().Player;
    case TStickMode::Monster:
        return world_.Monster(StickIndex);
    case TStickMode::GroundGun:
        return world_.GroundGun(StickIndex);
    default:
        return nullptr;
    }
}

void TBullet::StickTo(TStickMode mode, int32_t index) {
    StickMode = mode;
    if (mode == TStickMode::Monster || mode == TStickMode::GroundGun)
        StickIndex = index;
    const TMyImageSprite* target = StickTargetNow();
    stickTarget_ = target;
    if (target == nullptr) {
        StickMode = TStickMode::Free;
        return;
    }
    const double bx = X + Width / 2.0;
    const double by = Y + Height / 2.0;
    const double tx = target->X + target->Width / 2.0;
    const double ty = target->Y + target->Height / 2.0;
    StickDX = static_cast<int32_t>((bx + tx) / 2 - target->X - Width / 2.0);
    StickDY = static_cast<int32_t>((by + ty) / 2 - target->Y - Height / 2.0);
}

void TBullet::Detach() {
    StickMode = TStickMode::Free;
    stickTarget_ = nullptr;
}

void TBullet::Explode() {
    if (Kind == TBulletKind::Rail)
        world_.RemoveBullet(*this);
    else if (Kind == TBulletKind::Rocket)
        PlayAnimationOnce("Explosion", 30);
    else if (Kind == TBulletKind::Plasma)
        PlayAnimationOnce("PlasmaExplosion", 30);
    else
        Visible = false;
    if (Kind == TBulletKind::Rocket)
        ExhaustOn = false;
    if (Owner == TBulletOwner::Enemy &&
        (Kind == TBulletKind::Plasma || Kind == TBulletKind::Rocket)) {
        VX = 0;
        X -= 32;
        SetZ(13);
    }
    Spent = true;
}

bool TBullet::MoveRail() {
    const TPlayer* player = world_.FixedSprites().Player;
    if (Owner == TBulletOwner::Player) {
        if (player != nullptr && X - (player->X + kPlayerRailDX) > kRailReach) {
            // Gone beyond its reach: it pierces nothing more. (Its removal has just
            // cleared the marks it left, so a last test would hurt those monsters
            // twice and leave them marked with a freed slot.)
            world_.RemoveBullet(*this);
            return false;
        }
        const auto px = static_cast<int32_t>(X + Width / 2.0);
        const auto py = static_cast<int32_t>(Y + Height / 2.0);
        for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot) {
            TMonster* monster = world_.Monster(slot);
            if (monster == nullptr || monster->LastRailSlot == Slot)
                continue;
            if (monster->X < px && px < monster->X + monster->Width && monster->Y < py &&
                py < monster->Y + monster->Height) {
                monster->MarkRail(*this);
                monster->TakeDamage(Damage);
            }
        }
    } else {
        const TMonster* shooter = world_.Monster(ShooterSlot);
        if (shooter == nullptr || (shooter->X - kEnemyRailDX) - X > kRailReach)
            world_.RemoveBullet(*this);
    }
    return !Removed();
}

void TBullet::MoveSelf(int32_t moveCount) {
    TMyImageSprite::MoveSelf(moveCount);
    if (Kind == TBulletKind::Rail && !MoveRail())
        return;
    TGameState& state = Context().State;

    if (StickMode != TStickMode::Free) {
        if (const TMyImageSprite* target = StickTargetNow()) {
            X = target->X + StickDX;
            Y = target->Y + StickDY;
        } else {
            Detach();
        }
        return;
    }

    if (!Spent) {
        CheckCollisions();
        if (Removed())
            return;
        X += VX * state.Timing.FrameFactor;
        Y += VY * state.Timing.FrameFactor;
        if (Kind == TBulletKind::Rocket) {
            if (Exhaust != nullptr) {
                Exhaust->X = X - kExhaustDX;
                Exhaust->Y = Y - kExhaustDY;
            }
            if (!CountDown(AccelTimer, 0, state.Timing.FrameMs)) {
                AccelTimer = 50;
                Speed = std::min(Speed + 1, kMaxRocketSpeed);
                SetVelocity();
                // A rocket fired downwards bends further towards the vertical.
                if (Angle > 0)
                    ++Angle;
            }
        }
        if (Y > 550)
            Explode();
    }
    if (Spent && Kind == TBulletKind::Rocket)
        X += GroundSpeed(world_.FixedSprites()) * state.Timing.FrameFactor;
}

void TBullet::HandleCollision(TSprite& other, bool& done) {
    (void)done;
    // Not yet on screen; and a bullet that has hit something this frame is done.
    if (X > 800 || Spent || !CanCollide || Removed())
        return;
    world_.Collide(*this, other);
}

void TBullet::DrawRail() {
    TDirectDrawSurface* surface = Engine()->Surface();
    const TPictureCollectionItem& body = Context().Images2.Items.Find("RailBulletBody");
    const int32_t w = body.Width();
    if (w <= 0 || Image() == nullptr)
        return;
    const auto pattern = static_cast<int32_t>(AnimPosition);
    if (Owner == TBulletOwner::Player) {
        const TPlayer* player = world_.FixedSprites().Player;
        if (player == nullptr)
            return;
        const int32_t n = static_cast<int32_t>(X - (player->X + kPlayerRailDX)) / w;
        const auto y = static_cast<int32_t>(player->Y + kPlayerRailDY);
        for (int32_t i = 0; i <= n; ++i)
            body.Draw(surface, static_cast<int32_t>(player->X + w * i + kPlayerRailDX), y, pattern);
        Image()->Draw(surface, static_cast<int32_t>(X), y, pattern);
    } else {
        const TMonster* shooter = world_.Monster(ShooterSlot);
        if (shooter == nullptr)
            return;
        const int32_t n = static_cast<int32_t>(shooter->X - kEnemyRailDX - X) / w;
        const auto y = static_cast<int32_t>(shooter->Y + kEnemyRailDY);
        for (int32_t i = 0; i <= n; ++i)
            body.Draw(surface, static_cast<int32_t>(shooter->X - i * w - kEnemyRailDX), y, pattern);
        Image()->Draw(surface, static_cast<int32_t>(X), y, pattern);
    }
}

void TBullet::DrawSelf() {
    if (Engine() == nullptr)
        return;
    if (Kind == TBulletKind::Rail) {
        DrawRail();
        return;
    }
    TDirectDrawSurface* surface = Engine()->Surface();
    if (Angle != 0 && Kind != TBulletKind::Plasma && Image() != nullptr) {
        Image()->DrawRotated(surface, static_cast<int32_t>(X + Width / 2.0),
                             static_cast<int32_t>(Y + Height / 2.0), Width, Height,
                             static_cast<int32_t>(AnimPosition), 0.5, 0.5, Angle);
    } else {
        TMyImageSprite::DrawSelf();
    }
    if (Kind != TBulletKind::Rocket || !ExhaustOn || Exhaust == nullptr)
        return;
    if (Angle == 0) {
        Exhaust->DrawSelf();
    } else if (const TPictureCollectionItem* flame = Exhaust->Image()) {
        // Rotated about the rocket's centre.
        flame->DrawRotated(surface, static_cast<int32_t>(Exhaust->X + kExhaustDX + Width / 2.0),
                           static_cast<int32_t>(Exhaust->Y + kExhaustDY + Height / 2.0),
                           flame->Width(), flame->Height(),
                           static_cast<int32_t>(Exhaust->AnimPosition), 0.78125, 0.515625, Angle);
    }
}

} // namespace vantorel

#include "objects/monster.hpp"

#include "objects/bullet.hpp"
#include "objects/collision_category.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"
#include "state/sound_sink.hpp"

#include <cmath>

namespace vantorel {

namespace {

/// Flame offsets from the monster's top-left corner, by TMonsterKind.
struct TOffset {
    int32_t DX, DY;
};
constexpr int32_t kMaxFlames = 5;
struct TFlameSet {
    int32_t Count;
    TOffset At[kMaxFlames];
};
constexpr TFlameSet kFlames[] = {
    {1, {{48, -14}}},          {0, {}},
    {2, {{67, -14}, {67, 2}}}, {5, {{117, -27}, {117, -15}, {137, -10}, {135, 4}, {137, 19}}},
    {1, {{5, -23}}},           {2, {{128, 3}, {128, 39}}},
};

} // namespace

TMonster::TMonster(TGameContext& context, IGameWorld& world, int32_t slot, int32_t x, int32_t y,
                   int32_t z, TMonsterKind kind)
    : TMyImageSprite(context, 2), Slot(slot), Kind(kind), world_(world) {
    TGameRandom& random = context.State.Random;
    int32_t startY = y;
    switch (kind) {
    case TMonsterKind::CosmoStorm:
        startY = 75 + random(405);
        VX = -5;
        Ammo = 10;
        break;
    case TMonsterKind::UFO:
        startY = 175 + random(165);
        VX = -2;
        Ammo = 10;
        WavePhase = random(800);
        break;
    case TMonsterKind::Rocketer:
        startY = 100 + random(300);
        VX = -2;
        VY = random(4) - 2;
        Ammo = 5;
        TurnTimer = 1000;
        break;
    case TMonsterKind::Truck:
        startY = 100 + random(300);
        VX = -1;
        VY = random(4) - 2;
        Ammo = 1 + random(10);
        break;
    case TMonsterKind::Destroyer:
        VX = random(2) - 3;
        VY = random(4) - 2;
        Ammo = 0;
        TurnTimer = 1000;
        break;
    case TMonsterKind::Mega:
        startY = 100 + random(300);
        VX = -2;
        Ammo = 100;
        break;
    }
    const TMonsterTraits& traits = TraitsOf(kind);
    SetImageByName(traits.Picture);
    X = x;
    Y = startY;
    SetZ(z);
    HitPoints = traits.HitPoints;
    const TFlameSet& flames = kFlames[static_cast<size_t>(kind)];
    for (int32_t i = 0; i < flames.Count; ++i)
        AddFlame(flames.At[i].DX, flames.At[i].DY);
    switch (kind) {
    case TMonsterKind::CosmoStorm:
        AddMuzzle("LaserFireR", -30, -12, z);
        break;
    case TMonsterKind::UFO:
        AddMuzzle("PlasmaFireR", -31, 0, z);
        break;
    case TMonsterKind::Mega:
        AddMuzzle("PlasmaFireR", 20, 5, z + 1);
        AddMuzzle("PlasmaFireR", 22, 36, z + 1);
        break;
    default:
        break;
    }
    PixelCollision = false;
    Contents = CategoryBit(TCategory::Monster);
    MaxHitPoints = HitPoints;
    LastRailSlot = 0;
    FireCooldown = 0;
}

void TMonster::AddFlame(int32_t dx, int32_t dy) {
    TMyImageSprite* flame = CreateAt(Context(), 2, "EngineFireR", static_cast<int32_t>(X + dx),
                                     static_cast<int32_t>(Y + dy), Z());
    flame->AnimPercent = 30;
    Flames[static_cast<size_t>(flameCount_++)] = flame;
}

void TMonster::AddMuzzle(const char* picture, int32_t dx, int32_t dy, int32_t z) {
    TMyImageSprite* muzzle = CreateAt(Context(), 2, picture, static_cast<int32_t>(X + dx),
                                      static_cast<int32_t>(Y + dy), z);
    muzzle->AnimPercent = 30;
    muzzle->HideAtAnimEnd = true;
    muzzle->Visible = false;
    Muzzles[Muzzles[0] == nullptr ? 0 : 1] = muzzle;
}

void TMonster::PlaceCompanion(TMyImageSprite* sprite, int32_t dx, int32_t dy, bool takeZ) {
    if (sprite == nullptr)
        return;
    sprite->X = X + dx;
    sprite->Y = Y + dy;
    if (takeZ)
        sprite->SetZ(Z());
}

void TMonster::PlaceCompanions() {
    const TFlameSet& flames = kFlames[static_cast<size_t>(Kind)];
    for (int32_t i = 0; i < flames.Count; ++i)
        PlaceCompanion(Flames[static_cast<size_t>(i)], flames.At[i].DX, flames.At[i].DY, true);
    switch (Kind) {
    case TMonsterKind::CosmoStorm:
        PlaceCompanion(Muzzles[0], -30, -12, true);
        break;
    case TMonsterKind::UFO:
        PlaceCompanion(Muzzles[0], -31, 0, false);
        break;
    case TMonsterKind::Mega:
        PlaceCompanion(Muzzles[0], 20, 5, false);
        PlaceCompanion(Muzzles[1], 22, 36, false);
        break;
    default:
        break;
    }
}

void TMonster::RandomTurn() {
    TGameState& state = Context().State;
    TurnTimer -= state.FrameMs;
    if (TurnTimer < 1) {
        VY = state.Random(4) - 2;
        TurnTimer = 1000;
    }
}

void TMonster::MoveSelf(int32_t moveCount) {
    TMyImageSprite::MoveSelf(moveCount);
    TGameState& state = Context().State;
    X += VX * state.FrameFactor;
    Y += VY * state.FrameFactor;

    switch (Kind) {
    case TMonsterKind::UFO:
        // A wave between heights 175 and 340 whose shape follows X.
        if (!Exploding)
            Y = std::sin((WavePhase + X) / 150.0) * 82.5 + 257.5;
        break;
    case TMonsterKind::Rocketer:
        RandomTurn();
        if (Y + Height > 400) {
            Y = 400 - Height;
            VY = -VY;
        }
        if (Y < 100) {
            Y = 100;
            VY = -VY;
        }
        break;
    case TMonsterKind::Truck:
        if (Y < 75) {
            Y = 75;
            VY = -VY;
        }
        if (Y + Height > 550) {
            Y = 550 - Height;
            VY = -VY;
        }
        if (Phase == 0 && X < 500) {
            X = 500;
            VX = 0;
            PauseTimer = 10000;
            Phase = 1;
        }
        if (Phase == 1) {
            PauseTimer -= state.FrameMs;
            if (PauseTimer < 1) {
                VX = -1;
                Phase = 2;
            }
        }
        if (Phase == 2 && X < 200) {
            X = 200;
            VX = 0;
            Phase = 3;
        }
        break;
    case TMonsterKind::Destroyer:
        RandomTurn();
        if (Y < 75) {
            Y = 75;
            VY = -VY;
        }
        if (Y + Height > 550) {
            Y = 550 - Height;
            VY = -VY;
        }
        break;
    case TMonsterKind::Mega:
        if (Phase == 0 && X <= 450) {
            X = 450;
            Phase = 1;
            WanderTimer = -1;
        }
        if (Phase == 1) {
            WanderTimer -= state.FrameMs;
            if (WanderTimer < 1) {
                WanderTimer = 4000;
                VX = state.Random(4) - 2;
                VY = state.Random(4) - 2;
            }
            if (X < 260) {
                X = 260;
                VX = -VX;
            }
            if (X > 540) {
                X = 540;
                VX = -VX;
            }
            if (Y < 82) {
                Y = 82;
                VY = -VY;
            }
            if (Y > 386) {
                Y = 386;
                VY = -VY;
            }
        }
        break;
    default:
        break;
    }
    PlaceCompanions();

    if (FireCooldown > 0)
        FireCooldown -= state.FrameMs;
    if (!Exploding && X < 800 && Ammo > 0 && FireCooldown < 1 && state.Random(100) == 1) {
        --Ammo;
        Fire();
    }
}

void TMonster::ShowMuzzle(TMyImageSprite* muzzle) {
    if (muzzle == nullptr)
        return;
    muzzle->RestartAnimation();
    muzzle->Visible = true;
}

void TMonster::FireBullet(int32_t dx, int32_t dy, int32_t z, int32_t speed, int32_t angle,
                          TBulletKind kind, int32_t shooterSlot) {
    world_.AddBullet(static_cast<int32_t>(X + dx), static_cast<int32_t>(Y + dy), z, speed, angle,
                     kind, TBulletOwner::Enemy, shooterSlot);
}

void TMonster::Fire() {
    TGameState& state = Context().State;
    const int32_t z = Z();
    switch (Kind) {
    case TMonsterKind::CosmoStorm:
        ShowMuzzle(Muzzles[0]);
        FireBullet(-25, 17, z, -7, 0, TBulletKind::Laser);
        FireCooldown = 500;
        break;
    case TMonsterKind::UFO:
        ShowMuzzle(Muzzles[0]);
        FireBullet(-42, 0, z, -6, 0, TBulletKind::Plasma);
        FireCooldown = 1500;
        break;
    case TMonsterKind::Rocketer:
        FireBullet(17, 26, z, 3, -128, TBulletKind::Rocket);
        FireCooldown = 1500;
        break;
    case TMonsterKind::Truck:
        world_.AddMonster(static_cast<int32_t>(X + 100), static_cast<int32_t>(Y + 80), z,
                          static_cast<int32_t>(TMonsterKind::Destroyer));
        FireCooldown = 500;
        break;
    case TMonsterKind::Mega:
        if (state.Random(2) == 1)
            FireBullet(98, 14, z + 1, 2, -128, TBulletKind::Rocket);
        if (state.Random(2) == 1)
            FireBullet(98, 69, z + 1, 2, -128, TBulletKind::Rocket);
        if (state.Random(2) == 1) {
            FireBullet(45, 36, z + 1, -5, state.Random(64) - 32, TBulletKind::Plasma);
            ShowMuzzle(Muzzles[0]);
        }
        if (state.Random(2) == 1) {
            FireBullet(13, 35, z + 1, -5, state.Random(64) - 32, TBulletKind::Plasma);
            ShowMuzzle(Muzzles[1]);
        }
        if (state.Random(2) == 1)
            FireBullet(-39, 46, z + 1, -10, 0, TBulletKind::Rail, Slot);
        FireCooldown = 1000;
        break;
    default:
        break;
    }
}

void TMonster::TakeDamage(int32_t amount) {
    HitPoints -= amount;
    if (HitPoints > 0)
        return;
    if (!Exploding) {
        TGameState& state = Context().State;
        state.Score += 5 * MaxHitPoints;
        --state.MonstersLeft;
    }
    Explode();
}

void TMonster::Explode() {
    if (Exploding)
        return;
    world_.Sound().PlaySound(TraitsOf(Kind).ExplosionSound);
    PlayAnimationOnce("Explosion", 20);
    for (TMyImageSprite* flame : Flames)
        if (flame != nullptr)
            flame->Visible = false;
    for (TMyImageSprite* muzzle : Muzzles)
        if (muzzle != nullptr)
            muzzle->Visible = false;
    Exploding = true;
}

void TMonster::MarkRail(const TBullet& rail) {
    LastRailSlot = rail.Slot;
    lastRail_ = &rail;
}

void TMonster::ClearRailMark() {
    LastRailSlot = 0;
    lastRail_ = nullptr;
}

} // namespace vantorel

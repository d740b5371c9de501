#include "objects/monster.hpp"

#include "objects/bullet.hpp"
#include "objects/collision_category.hpp"
#include "objects/monster_behaviour.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"
#include "state/sound_sink.hpp"

#include <cmath>

namespace vantorel {

namespace {

/// Milliseconds between the random turns of the kinds that make them.
constexpr int32_t kTurnMs = 1000;
/// The wave's phase is rolled 0..799 at entry.
constexpr int32_t kWavePhases = 800;

int32_t Roll(TGameRandom& random, TRoll roll) {
    return roll.Span > 0 ? roll.Base + random(roll.Span) : roll.Base;
}

void Bounce(TMonster& m, TMonsterBand band) {
    if (m.Y < band.Top) {
        m.Y = band.Top;
        m.VY = -m.VY;
    }
    if (m.Y + m.Height > band.Bottom) {
        m.Y = band.Bottom - m.Height;
        m.VY = -m.VY;
    }
}

void FlyWave(TMonster& m) {
    // Between heights 175 and 340; the shape follows X.
    if (!m.Exploding)
        m.Y = std::sin((m.WavePhase + m.X) / 150.0) * 82.5 + 257.5;
}

void StopAndGo(TMonster& m, int32_t frameMs) {
    if (m.Phase == 0 && m.X < 500) {
        m.X = 500;
        m.VX = 0;
        m.PauseTimer = 10000;
        m.Phase = 1;
    }
    if (m.Phase == 1) {
        m.PauseTimer -= frameMs;
        if (m.PauseTimer < 1) {
            m.VX = -1;
            m.Phase = 2;
        }
    }
    if (m.Phase == 2 && m.X < 200) {
        m.X = 200;
        m.VX = 0;
        m.Phase = 3;
    }
}

/// A coordinate that left lo..hi is put back on the edge it crossed, and its
/// speed turns round.
void BounceWithin(double& position, int32_t& speed, int32_t lo, int32_t hi) {
    if (position < lo) {
        position = lo;
        speed = -speed;
    }
    if (position > hi) {
        position = hi;
        speed = -speed;
    }
}

void Wander(TMonster& m, TGameState& state) {
    if (m.Phase == 0 && m.X <= 450) {
        m.X = 450;
        m.Phase = 1;
        m.WanderTimer = -1;
    }
    if (m.Phase != 1)
        return;
    m.WanderTimer -= state.Timing.FrameMs;
    if (m.WanderTimer < 1) {
        m.WanderTimer = 4000;
        m.VX = state.Random(4) - 2;
        m.VY = state.Random(4) - 2;
    }
    BounceWithin(m.X, m.VX, 260, 540);
    BounceWithin(m.Y, m.VY, 82, 386);
}

} // namespace

TMonster::TMonster(TGameContext& context, IGameWorld& world, int32_t slot, int32_t x, int32_t y,
                   int32_t z, TMonsterKind kind)
    : TMyImageSprite(context, 2), Slot(slot), Kind(kind), world_(world) {
    TGameRandom& random = context.State.Random;
    const TMonsterBehaviour& behaviour = BehaviourOf(kind);
    const int32_t startY = behaviour.EnterY ? Roll(random, *behaviour.EnterY) : y;
    VX = Roll(random, behaviour.VX);
    VY = Roll(random, behaviour.VY);
    Ammo = Roll(random, behaviour.Ammo);
    if (behaviour.Pattern == TFlightPattern::Wave)
        WavePhase = random(kWavePhases);
    if (behaviour.TurnsAtRandom)
        TurnTimer = kTurnMs;
    const TMonsterTraits& traits = TraitsOf(kind);
    SetImageByName(traits.Picture);
    X = x;
    Y = startY;
    SetZ(z);
    HitPoints = traits.HitPoints;
    for (const TMonsterOffset& flame : behaviour.Flames)
        AddFlame(flame.DX, flame.DY);
    for (const TMonsterMuzzle& muzzle : behaviour.Muzzles)
        AddMuzzle(muzzle.Picture, muzzle.At.DX, muzzle.At.DY, z + muzzle.DZ);
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
    const TMonsterBehaviour& behaviour = BehaviourOf(Kind);
    size_t i = 0;
    for (const TMonsterOffset& flame : behaviour.Flames)
        PlaceCompanion(Flames[i++], flame.DX, flame.DY, true);
    // A muzzle keeps the depth it was made with (the Mega's lie above it).
    i = 0;
    for (const TMonsterMuzzle& muzzle : behaviour.Muzzles)
        PlaceCompanion(Muzzles[i++], muzzle.At.DX, muzzle.At.DY, false);
}

void TMonster::RandomTurn() {
    TGameState& state = Context().State;
    TurnTimer -= state.Timing.FrameMs;
    if (TurnTimer < 1) {
        VY = state.Random(4) - 2;
        TurnTimer = kTurnMs;
    }
}

void TMonster::MoveSelf(int32_t moveCount) {
    TMyImageSprite::MoveSelf(moveCount);
    TGameState& state = Context().State;
    X += VX * state.Timing.FrameFactor;
    Y += VY * state.Timing.FrameFactor;

    const TMonsterBehaviour& behaviour = BehaviourOf(Kind);
    if (behaviour.TurnsAtRandom)
        RandomTurn();
    if (behaviour.Band)
        Bounce(*this, *behaviour.Band);
    switch (behaviour.Pattern) {
    case TFlightPattern::Straight:
        break;
    case TFlightPattern::Wave:
        FlyWave(*this);
        break;
    case TFlightPattern::StopAndGo:
        StopAndGo(*this, state.Timing.FrameMs);
        break;
    case TFlightPattern::Wander:
        Wander(*this, state);
        break;
    }
    PlaceCompanions();

    if (FireCooldown > 0)
        FireCooldown -= state.Timing.FrameMs;
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
    const TMonsterBehaviour& behaviour = BehaviourOf(Kind);
    // A kind with nothing to fire (the Destroyer) keeps its cooldown.
    if (behaviour.Volley.empty() && !behaviour.Launch)
        return;
    TGameState& state = Context().State;
    const int32_t z = Z();
    if (const std::optional<TMonsterLaunch>& launch = behaviour.Launch)
        world_.AddMonster(static_cast<int32_t>(X + launch->At.DX),
                          static_cast<int32_t>(Y + launch->At.DY), z,
                          static_cast<int32_t>(launch->Kind));
    for (const TMonsterShot& shot : behaviour.Volley) {
        if (shot.OnCoinToss && state.Random(2) != 1)
            continue;
        const int32_t angle = Roll(state.Random, shot.Angle);
        FireBullet(shot.From.DX, shot.From.DY, z + shot.DZ, shot.Speed, angle, shot.Kind,
                   shot.CarriesSlot ? Slot : 0);
        if (shot.Muzzle >= 0)
            ShowMuzzle(Muzzles[static_cast<size_t>(shot.Muzzle)]);
    }
    FireCooldown = behaviour.FireCooldownMs;
}

void TMonster::TakeDamage(int32_t amount) {
    HitPoints -= amount;
    if (HitPoints > 0)
        return;
    if (!Exploding) {
        TGameState& state = Context().State;
        state.Progress.Score += 5 * MaxHitPoints;
        --state.Progress.MonstersLeft;
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

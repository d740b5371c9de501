#include "objects/player.hpp"

#include "objects/bonus.hpp"
#include "objects/collision_category.hpp"
#include "objects/game_sprites.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"
#include "state/sound_sink.hpp"

#include <algorithm>

namespace vantorel {

namespace {

constexpr int32_t kWeaponMs = 15000;
constexpr int32_t kShieldMs = 5000;
constexpr int32_t kShotCooldownMs = 300;
constexpr int32_t kMaxLives = 3;
constexpr int32_t kTiltFrames = 10;
constexpr int32_t kMouseStepLimit = 20;
/// Pictures of the ship: level, tilted down, tilted up.
constexpr int32_t kLevelPattern = 0;
constexpr int32_t kDownPattern = 1;
constexpr int32_t kUpPattern = 2;

struct TShot {
    int32_t DX, DY;
    TBulletKind Kind;
    int32_t Speed, Angle;
};

struct TWeaponTraits {
    const char* Sound;
    const char* Flash; ///< nullptr: no muzzle flash
    int32_t ShotCount;
    TShot Shots[3];
};

/// By TPlayerWeapon.
constexpr TWeaponTraits kWeapons[] = {
    {"Laser", "LaserFire", 1, {{107, 20, TBulletKind::Laser, 10, 0}}},
    {"Plasma", "PlasmaFire", 1, {{90, -10, TBulletKind::Plasma, 6, 0}}},
    {"Rocket", nullptr, 1, {{58, 50, TBulletKind::Rocket, 2, 10}}},
    {"Rail", nullptr, 1, {{108, 18, TBulletKind::Rail, 16, 0}}},
    {"Laser2",
     "LaserFire",
     2,
     {{107, 10, TBulletKind::Laser, 10, 0}, {107, 30, TBulletKind::Laser, 10, 0}}},
    {"Plasma",
     "PlasmaFire",
     3,
     {{90, -10, TBulletKind::Plasma, 7, -15},
      {90, -10, TBulletKind::Plasma, 6, 0},
      {90, -10, TBulletKind::Plasma, 7, 15}}},
    {"Rocket",
     nullptr,
     2,
     {{58, 50, TBulletKind::Rocket, 2, 10}, {58, 36, TBulletKind::Rocket, 2, 0}}},
};

/// The weapon fired by slots 1..8; -1 for the shield's slot.
constexpr int32_t kWeaponOfSlot[9] = {-1, 0, 1, 2, 3, -1, 4, 5, 6};
/// The kinds DisarmWeapons drops.
constexpr TBonusKind kWeaponKinds[] = {
    TBonusKind::LaserGun,   TBonusKind::PlasmaGun,   TBonusKind::RocketGun,  TBonusKind::RailGun,
    TBonusKind::LaserGun2x, TBonusKind::PlasmaGun3x, TBonusKind::RocketGun2x};

void Show(TMyImageSprite* sprite, bool visible) {
    if (sprite != nullptr)
        sprite->Visible = visible;
}

void Place(TMyImageSprite* sprite, double x, double y) {
    if (sprite != nullptr) {
        sprite->X = x;
        sprite->Y = y;
    }
}

} // namespace

TPlayer::TPlayer(TGameContext& context, IGameWorld& world)
    : TMyImageSprite(context, 2), world_(world) {
    SetImageByName("Player");
    X = kStartX;
    Y = kStartY;
    SetZ(10);
    PixelCollision = false;
    Contents = CategoryBit(TCategory::Player);
    HitMask = kPlayerHits;
    AnimPosition = 0;
    AnimSpeed = 0;
    context.State.Progress.Lives = kMaxLives;
    context.State.Progress.Score = 0;
}

void TPlayer::CreateCompanions() {
    TGameContext& ctx = Context();
    const auto at = [this](double dx, double dy) {
        return std::pair{static_cast<int32_t>(X + dx), static_cast<int32_t>(Y + dy)};
    };
    auto [f1x, f1y] = at(-19, -25);
    Fixed().EngineFlame1 = TMyImageSprite::CreateAt(ctx, 2, "EngineFire", f1x, f1y, 10);
    Fixed().EngineFlame1->AnimPercent = 30;
    auto [f2x, f2y] = at(-19, -14);
    Fixed().EngineFlame2 = TMyImageSprite::CreateAt(ctx, 2, "EngineFire", f2x, f2y, 10);
    Fixed().EngineFlame2->AnimPercent = 30;
    auto [mx, my] = at(75, -10);
    Fixed().MuzzleFlash = TMyImageSprite::CreateAt(ctx, 2, "LaserFire", mx, my, 11);
    Fixed().MuzzleFlash->AnimPercent = 30;
    Fixed().MuzzleFlash->HideAtAnimEnd = true;
    Fixed().MuzzleFlash->Visible = false;
    auto [sx, sy] = at(90, -6);
    Fixed().ShieldSprite = TMyImageSprite::CreateAt(ctx, 2, "PlayerShield", sx, sy, 11);
    Fixed().ShieldSprite->Visible = false;
}

void TPlayer::ReadControls() {
    const TGameState& state = Context().State;
    const TInputSnapshot& input = state.Input;
    FireHeld = input.FireHeld();
    if (State == TPlayerState::Exploding)
        return;
    MoveLeft = input.Steers(TDirection::Left);
    MoveRight = input.Steers(TDirection::Right);
    MoveUp = input.Steers(TDirection::Up);
    MoveDown = input.Steers(TDirection::Down);
}

void TPlayer::PlaceCompanions() {
    Place(Fixed().EngineFlame1, X - 19, Y - 25);
    Place(Fixed().EngineFlame2, X - 19, Y - 14);
    Place(Fixed().ShieldSprite, X + 90, Y - 6);
    Place(Fixed().MuzzleFlash, X + 75, Y - 10);
}

void TPlayer::HandleCollision(TSprite& other, bool& done) {
    (void)done;
    world_.Collide(*this, other);
}

void TPlayer::MoveSelf(int32_t moveCount) {
    TMyImageSprite::MoveSelf(moveCount);
    CheckCollisions();
    TGameState& state = Context().State;

    // Relative mouse steering (the frame's motion) works in every state, even
    // while exploding.
    const int32_t dx = std::clamp(state.Input.MouseDeltaX, -kMouseStepLimit, kMouseStepLimit);
    const int32_t dy = std::clamp(state.Input.MouseDeltaY, -kMouseStepLimit, kMouseStepLimit);
    X += dx / 1.5;
    Y += dy / 1.8;

    if (State != TPlayerState::Exploding) {
        if (MoveLeft)
            X -= 8 * state.Timing.FrameFactor;
        if (MoveRight)
            X += 8 * state.Timing.FrameFactor;
        if (MoveUp)
            Y -= 6 * state.Timing.FrameFactor;
        if (MoveDown)
            Y += 6 * state.Timing.FrameFactor;
        if (FireHeld)
            FireAll();
    }

    if (X + Width > 800)
        X = 800 - Width;
    if (X < 15)
        X = 15;
    if (Y + Height > 550)
        Y = 550 - Height;
    if (Y < 75)
        Y = 75;

    Tilt();
    PlaceCompanions();

    if (Leaving)
        AddToAlpha(-2);
    if (State == TPlayerState::Appearing) {
        AddToAlpha(5);
        if (Alpha >= 255)
            BecomeSolid();
    }
    if (State == TPlayerState::Exploding && !CountDown(DeathTimer, 0, state.Timing.FrameMs))
        Respawn();
    UpdateWeapons();
    if (!CountDown(FireCooldown, 0, state.Timing.FrameMs))
        FireCooldown = 0;
}

void TPlayer::Tilt() {
    // The tilt picks a pattern of the ship's own picture; while the ship is its
    // explosion that would rewind the explosion and keep it from ever ending.
    if (State == TPlayerState::Exploding)
        return;
    --tiltCountdown_;
    if (tiltCountdown_ > 0)
        return;
    const int32_t y = static_cast<int32_t>(Y);
    if (y > tiltLastY_)
        AnimPosition = kDownPattern;
    else if (y < tiltLastY_)
        AnimPosition = kUpPattern;
    else
        AnimPosition = kLevelPattern;
    tiltCountdown_ = kTiltFrames;
    tiltLastY_ = y;
}

void TPlayer::AddToAlpha(int32_t delta) {
    Alpha += delta;
    if (Fixed().EngineFlame1 != nullptr)
        Fixed().EngineFlame1->Alpha += delta;
    if (Fixed().EngineFlame2 != nullptr)
        Fixed().EngineFlame2->Alpha += delta;
}

void TPlayer::Respawn() {
    TGameContext& ctx = Context();
    TGameState& state = ctx.State;
    State = TPlayerState::Appearing;
    Leaving = false;
    if (state.Progress.Lives == 0) {
        world_.Sound().PlaySound("GameOver");
        LastLifeGone = true;
        return;
    }
    for (TMyImageSprite* flame : {Fixed().EngineFlame1, Fixed().EngineFlame2}) {
        if (flame != nullptr) {
            flame->Alpha = 0;
            flame->AlphaMode = true;
            flame->Visible = true;
        }
    }
    Show(Fixed().MuzzleFlash, false);
    SetImageByName("Player");
    X = kStartX;
    Y = kStartY;
    AlphaMode = true;
    Alpha = 0;
    Visible = true;
    HideAtAnimEnd = false;
    PlaceCompanions();
    HitPoints = 1;
    AnimPercent = 0;
    AnimSpeed = 0;
}

void TPlayer::StartLeaving() {
    world_.Sound().PlaySound("Reborn");
    Leaving = true;
    DisarmAll();
    AlphaMode = true;
    Alpha = 255;
    for (TMyImageSprite* flame : {Fixed().EngineFlame1, Fixed().EngineFlame2}) {
        if (flame != nullptr) {
            flame->AlphaMode = true;
            flame->Alpha = 255;
        }
    }
}

void TPlayer::BecomeSolid() {
    State = TPlayerState::Flying;
    Show(Fixed().EngineFlame1, true);
    Show(Fixed().EngineFlame2, true);
    SetImageByName("Player");
    AlphaMode = false;
    Alpha = 0;
    Visible = true;
    HideAtAnimEnd = false;
    PlaceCompanions();
}

void TPlayer::TakeDamage(int32_t amount) {
    HitPoints -= amount;
    if (HitPoints <= 0)
        Die();
}

void TPlayer::Die() {
    TGameContext& ctx = Context();
    TGameState& state = ctx.State;
    State = TPlayerState::Exploding;
    world_.Sound().PlaySound("Explosion1");
    DeathTimer = 1000;
    if (state.Progress.Lives > 0)
        --state.Progress.Lives;
    Show(Fixed().EngineFlame1, false);
    Show(Fixed().EngineFlame2, false);
    Show(Fixed().ShieldSprite, false);
    Show(Fixed().MuzzleFlash, false);
    PlayAnimationOnce("Explosion", 10);
    DisarmAll();
    world_.RemovePlayerRails();
}

void TPlayer::AddLife() {
    TGameState& state = Context().State;
    if (state.Progress.Lives < kMaxLives)
        ++state.Progress.Lives;
}

void TPlayer::MegaBomb() {
    for (int32_t slot = 1; slot <= IGameWorld::kGroundGunSlots; ++slot)
        if (TGroundGun* gun = world_.GroundGun(slot))
            gun->TakeDamage(10);
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
        if (TMonster* monster = world_.Monster(slot))
            monster->TakeDamage(10);
}

void TPlayer::FireAll() {
    for (int32_t slot = 1; slot <= 8; ++slot)
        if (WeaponOn[static_cast<size_t>(slot)] && kWeaponOfSlot[slot] >= 0)
            FireWeapon(static_cast<TPlayerWeapon>(kWeaponOfSlot[slot]));
}

void TPlayer::FireWeapon(TPlayerWeapon weapon) {
    if (FireCooldown > 0 || Leaving)
        return;
    const TWeaponTraits& traits = kWeapons[static_cast<size_t>(weapon)];
    world_.Sound().PlaySound(traits.Sound);
    if (traits.Flash != nullptr && Fixed().MuzzleFlash != nullptr) {
        Fixed().MuzzleFlash->SetImageByName(traits.Flash);
        Fixed().MuzzleFlash->RestartAnimation();
        Fixed().MuzzleFlash->Visible = true;
    }
    for (int32_t i = 0; i < traits.ShotCount; ++i) {
        const TShot& shot = traits.Shots[i];
        world_.AddBullet(static_cast<int32_t>(X + shot.DX), static_cast<int32_t>(Y + shot.DY), 9,
                         shot.Speed, shot.Angle, shot.Kind, TBulletOwner::Player, 0);
    }
    FireCooldown = kShotCooldownMs;
}

void TPlayer::ArmBonus(TBonusKind kind) {
    const int32_t slot = TraitsOf(kind).Index;
    if (slot < 1 || slot > 8)
        return;
    if (kind != TBonusKind::Shield)
        DisarmWeapons();
    WeaponOn[static_cast<size_t>(slot)] = true;
    WeaponTime[static_cast<size_t>(slot)] = kind == TBonusKind::Shield ? kShieldMs : kWeaponMs;
    if (kind == TBonusKind::Shield)
        Show(Fixed().ShieldSprite, true);
}

void TPlayer::DisarmBonus(TBonusKind kind) {
    const int32_t slot = TraitsOf(kind).Index;
    if (slot < 1 || slot > 8)
        return;
    WeaponOn[static_cast<size_t>(slot)] = false;
    if (kind == TBonusKind::Shield)
        Show(Fixed().ShieldSprite, false);
}

void TPlayer::DisarmWeapons() {
    for (TBonusKind kind : kWeaponKinds)
        DisarmBonus(kind);
}

void TPlayer::DisarmAll() {
    DisarmWeapons();
    DisarmBonus(TBonusKind::Shield);
}

bool TPlayer::HasWeapon() const {
    for (int32_t slot = 1; slot <= 8; ++slot)
        if (slot != kShieldSlot && WeaponOn[static_cast<size_t>(slot)])
            return true;
    return false;
}

void TPlayer::UpdateWeapons() {
    // The laser is the default weapon, always held when nothing else is.
    if (!HasWeapon())
        ArmBonus(TBonusKind::LaserGun);
    const int32_t frameMs = Context().State.Timing.FrameMs;
    for (int32_t slot = 1; slot <= 8; ++slot) {
        const auto i = static_cast<size_t>(slot);
        if (WeaponOn[i] && !CountDown(WeaponTime[i], 0, frameMs))
            DisarmBonus(BonusKindOfIndex(slot).value());
    }
}

} // namespace vantorel

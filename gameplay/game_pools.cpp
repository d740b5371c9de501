#include "gameplay/game_pools.hpp"

#include "gameplay/collision_rules.hpp"

#include "objects/bonus.hpp"
#include "objects/bullet.hpp"
#include "objects/game_sprites.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "state/game_context.hpp"
#include "state/game_services.hpp"
#include "state/game_state.hpp"

#include <optional>

namespace vantorel {

namespace {

/// The lowest free slot number, 0 when the pool is full.
template <typename T, size_t N> int32_t FirstFree(const std::array<T*, N>& slots) {
    for (size_t i = 1; i < N; ++i)
        if (slots[i] == nullptr)
            return static_cast<int32_t>(i);
    return 0;
}

template <typename T, size_t N> T* At(const std::array<T*, N>& slots, int32_t slot) {
    if (slot < 1 || static_cast<size_t>(slot) >= N)
        return nullptr;
    return slots[static_cast<size_t>(slot)];
}

template <typename T, size_t N> int32_t Occupied(const std::array<T*, N>& slots) {
    int32_t n = 0;
    for (size_t i = 1; i < N; ++i)
        n += slots[i] != nullptr ? 1 : 0;
    return n;
}

/// Frees the sprite at the end of the frame; until then it takes no part in the game.
void Retire(TMyImageSprite* sprite) {
    if (sprite == nullptr)
        return;
    sprite->CanCollide = false;
    sprite->CanMove = false;
    sprite->Kill();
}

bool OffField(const TMyImageSprite& s) {
    return s.X > 1400 || s.X + s.Width < -20 || s.Y < -20 || s.Y + s.Height > 680;
}

} // namespace

TGamePools::TGamePools(TGameContext& context, TGameSprites& fixed)
    : context_(context), sound_(context.Services), fixed_(fixed) {}

// ---- adds ----

TBullet* TGamePools::AddBullet(int32_t x, int32_t y, int32_t z, int32_t speed, int32_t angle,
                               TBulletKind kind, TBulletOwner owner, int32_t shooterSlot) {
    const int32_t slot = FirstFree(bullets_);
    if (slot == 0)
        return nullptr;
    auto* bullet =
        new TBullet(context_, *this, slot, x, y, z, speed, angle, kind, owner, shooterSlot);
    bullets_[static_cast<size_t>(slot)] = bullet;
    return bullet;
}

void TGamePools::AddMonster(int32_t x, int32_t y, int32_t z, int32_t number) {
    const std::optional<TMonsterKind> kind = MonsterKindOf(number);
    const int32_t slot = FirstFree(monsters_);
    if (slot == 0 || !kind)
        return;
    // Set only once a slot is taken: a refused Truck or Mega must not hold back
    // the other kinds.
    if (*kind == TMonsterKind::Truck)
        context_.State.Progress.TruckPresent = true;
    if (*kind == TMonsterKind::Mega)
        context_.State.Progress.MegaPresent = true;
    monsters_[static_cast<size_t>(slot)] = new TMonster(context_, *this, slot, x, y, z, *kind);
    context_.State.Progress.MonsterTimer = 0;
}

void TGamePools::AddGroundGun(int32_t x, int32_t y, int32_t z, int32_t number) {
    const int32_t slot = FirstFree(guns_);
    if (slot == 0)
        return;
    const TGunKind kind = GunKindOf(number).value_or(TGunKind::Plasma);
    guns_[static_cast<size_t>(slot)] = new TGroundGun(context_, *this, kind, slot, x, y, z);
    context_.State.Progress.GunTimer = 0;
}

void TGamePools::AddBonus(int32_t x, int32_t y, int32_t z, int32_t number) {
    const std::optional<TBonusKind> kind = BonusKindOf(number);
    const int32_t slot = FirstFree(bonuses_);
    if (slot == 0 || !kind)
        return;
    bonuses_[static_cast<size_t>(slot)] = new TBonus(context_, *this, x, y, z, slot, *kind);
    context_.State.Progress.BonusTimer = 0;
}

// ---- removals ----

void TGamePools::RemoveBullet(int32_t slot) {
    TBullet* bullet = At(bullets_, slot);
    if (bullet == nullptr)
        return;
    bullets_[static_cast<size_t>(slot)] = nullptr;
    if (bullet->Kind == TBulletKind::Rail) {
        for (TMonster* monster : monsters_)
            if (monster != nullptr && monster->LastRailSlot == slot)
                monster->ClearRailMark();
    }
    if (bullet->Kind == TBulletKind::Rocket && bullet->Exhaust != nullptr)
        bullet->Exhaust->Kill();
    Retire(bullet);
}

void TGamePools::RemoveBullet(const TBullet& bullet) {
    if (At(bullets_, bullet.Slot) == &bullet)
        RemoveBullet(bullet.Slot);
}

void TGamePools::RemoveMonster(int32_t slot) {
    TMonster* monster = At(monsters_, slot);
    if (monster == nullptr)
        return;
    monsters_[static_cast<size_t>(slot)] = nullptr;
    for (TMyImageSprite* flame : monster->Flames)
        if (flame != nullptr)
            flame->Kill();
    for (TMyImageSprite* muzzle : monster->Muzzles)
        if (muzzle != nullptr)
            muzzle->Kill();
    if (monster->Kind == TMonsterKind::Truck)
        context_.State.Progress.TruckPresent = false;
    if (monster->Kind == TMonsterKind::Mega)
        context_.State.Progress.MegaPresent = false;
    // Let go of everything that finds this monster by its slot number.
    for (int32_t b = 1; b <= kBulletSlots; ++b) {
        TBullet* bullet = bullets_[static_cast<size_t>(b)];
        if (bullet == nullptr)
            continue;
        if (bullet->StickMode == TStickMode::Monster && bullet->StickIndex == slot)
            bullet->Detach();
        if (bullet->Kind == TBulletKind::Rail && bullet->Owner == TBulletOwner::Enemy &&
            bullet->ShooterSlot == slot)
            RemoveBullet(b);
    }
    Retire(monster);
}

void TGamePools::RemoveGroundGun(int32_t slot) {
    TGroundGun* gun = At(guns_, slot);
    if (gun == nullptr)
        return;
    guns_[static_cast<size_t>(slot)] = nullptr;
    if (gun->GunFlash != nullptr)
        gun->GunFlash->Kill();
    for (TBullet* bullet : bullets_)
        if (bullet != nullptr && bullet->StickMode == TStickMode::GroundGun &&
            bullet->StickIndex == slot)
            bullet->Detach();
    Retire(gun);
}

void TGamePools::RemoveBonus(int32_t slot) {
    TBonus* bonus = At(bonuses_, slot);
    if (bonus == nullptr)
        return;
    bonuses_[static_cast<size_t>(slot)] = nullptr;
    Retire(bonus);
}

void TGamePools::RemoveAllBullets() {
    for (int32_t slot = 1; slot <= kBulletSlots; ++slot)
        RemoveBullet(slot);
}

void TGamePools::RemoveAllGroundGuns() {
    for (int32_t slot = 1; slot <= kGroundGunSlots; ++slot)
        RemoveGroundGun(slot);
}

void TGamePools::RemoveAllMonsters() {
    for (int32_t slot = 1; slot <= kMonsterSlots; ++slot)
        RemoveMonster(slot);
}

void TGamePools::RemoveAllBonuses() {
    for (int32_t slot = 1; slot <= kBonusSlots; ++slot)
        RemoveBonus(slot);
}

void TGamePools::RemovePlayerRails() {
    for (int32_t slot = 1; slot <= kBulletSlots; ++slot) {
        const TBullet* bullet = bullets_[static_cast<size_t>(slot)];
        if (bullet != nullptr && bullet->Kind == TBulletKind::Rail &&
            bullet->Owner == TBulletOwner::Player)
            RemoveBullet(slot);
    }
}

void TGamePools::SweepOffscreen() {
    for (int32_t slot = 1; slot <= kBulletSlots; ++slot)
        if (const TBullet* b = bullets_[static_cast<size_t>(slot)];
            b && (OffField(*b) || !b->Visible))
            RemoveBullet(slot);
    for (int32_t slot = 1; slot <= kGroundGunSlots; ++slot)
        if (const TGroundGun* g = guns_[static_cast<size_t>(slot)];
            g && (OffField(*g) || !g->Visible))
            RemoveGroundGun(slot);
    for (int32_t slot = 1; slot <= kMonsterSlots; ++slot)
        if (const TMonster* m = monsters_[static_cast<size_t>(slot)];
            m && (OffField(*m) || !m->Visible))
            RemoveMonster(slot);
    for (int32_t slot = 1; slot <= kBonusSlots; ++slot)
        if (const TBonus* b = bonuses_[static_cast<size_t>(slot)]; b && (OffField(*b) || b->Taken))
            RemoveBonus(slot);
}

// ---- lookups ----

TBullet* TGamePools::Bullet(int32_t slot) const {
    return At(bullets_, slot);
}
TMonster* TGamePools::Monster(int32_t slot) const {
    return At(monsters_, slot);
}
TGroundGun* TGamePools::GroundGun(int32_t slot) const {
    return At(guns_, slot);
}
void TGamePools::Collide(TMyImageSprite& searcher, TSprite& other) {
    ApplyCollisionRule(*this, searcher, other);
}

TBonus* TGamePools::Bonus(int32_t slot) const {
    return At(bonuses_, slot);
}
int32_t TGamePools::BulletCount() const {
    return Occupied(bullets_);
}
int32_t TGamePools::MonsterCount() const {
    return Occupied(monsters_);
}
int32_t TGamePools::GroundGunCount() const {
    return Occupied(guns_);
}
int32_t TGamePools::BonusCount() const {
    return Occupied(bonuses_);
}

// ---- consistency ----

namespace {

template <typename T, size_t N>
void CheckSlots(const std::array<T*, N>& slots, const char* pool,
                std::vector<std::string>& faults) {
    for (size_t i = 1; i < N; ++i) {
        const T* object = slots[i];
        if (object == nullptr)
            continue;
        const std::string where = std::string(pool) + " slot " + std::to_string(i);
        if (object->Killed() || object->IsDead())
            faults.push_back(where + " holds a removed object");
        if (object->Slot != static_cast<int32_t>(i))
            faults.push_back(where + " holds an object that thinks it is in slot " +
                             std::to_string(object->Slot));
    }
}

} // namespace

std::vector<std::string> TGamePools::CheckInvariants() const {
    std::vector<std::string> faults;
    CheckSlots(bullets_, "bullet", faults);
    CheckSlots(guns_, "ground gun", faults);
    CheckSlots(monsters_, "monster", faults);
    CheckSlots(bonuses_, "bonus", faults);

    for (size_t i = 1; i <= kBulletSlots; ++i) {
        const TBullet* b = bullets_[i];
        if (b == nullptr)
            continue;
        const std::string where = "bullet slot " + std::to_string(i);
        const TSprite* target = nullptr;
        switch (b->StickMode) {
        case TStickMode::Player:
            target = fixed_.Player;
            break;
        case TStickMode::Monster:
            target = Monster(b->StickIndex);
            break;
        case TStickMode::GroundGun:
            target = GroundGun(b->StickIndex);
            break;
        case TStickMode::Free:
            break;
        }
        if (b->StickMode != TStickMode::Free && (target == nullptr || target != b->StickTarget()))
            faults.push_back(where + " is stuck to slot " + std::to_string(b->StickIndex) +
                             ", which no longer holds its target");
        if (b->Kind == TBulletKind::Rail && b->Owner == TBulletOwner::Enemy &&
            (Monster(b->ShooterSlot) == nullptr || Monster(b->ShooterSlot) != b->Shooter()))
            faults.push_back(where + " is a rail whose shooter slot " +
                             std::to_string(b->ShooterSlot) + " no longer holds its shooter");
    }

    bool truck = false;
    bool mega = false;
    for (size_t i = 1; i <= kMonsterSlots; ++i) {
        const TMonster* m = monsters_[i];
        if (m == nullptr)
            continue;
        truck = truck || m->Kind == TMonsterKind::Truck;
        mega = mega || m->Kind == TMonsterKind::Mega;
        if (m->LastRailSlot == 0)
            continue;
        const TBullet* rail = Bullet(m->LastRailSlot);
        if (rail == nullptr || rail != m->LastRail())
            faults.push_back("monster slot " + std::to_string(i) + " keeps rail slot " +
                             std::to_string(m->LastRailSlot) + ", which no longer holds that rail");
    }
    if (truck != context_.State.Progress.TruckPresent)
        faults.push_back(std::string("TruckPresent is ") +
                         (context_.State.Progress.TruckPresent ? "set" : "clear") + " with " +
                         (truck ? "a" : "no") + " Truck in the pool");
    if (mega != context_.State.Progress.MegaPresent)
        faults.push_back(std::string("MegaPresent is ") +
                         (context_.State.Progress.MegaPresent ? "set" : "clear") + " with " +
                         (mega ? "a" : "no") + " Mega in the pool");
    return faults;
}

} // namespace vantorel

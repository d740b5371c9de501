// The four fixed slot pools of a game: 50 bullets, 5 ground guns, 10 monsters and
// 5 bonuses. An object goes into the first free slot and is told its number;
// objects refer to each other by these numbers. A full pool refuses new objects
// without a word. Once a game frame the sweep frees the slots whose objects have
// left the field or have finished.
#pragma once

#include "gameplay/spawn_target.hpp"
#include "objects/game_world.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

struct TGameContext;
class TBonus;

/// Every removal frees the slot at once (an add later in the same frame may reuse
/// it), kills the object's sprites for the end of the frame, and stops the object
/// moving and colliding from that moment. Whatever referred to the removed object
/// by slot number lets go of it: bullets stuck to a monster or gun come loose (the
/// explosion finishes where it is), a monster's rail beams go with it, and
/// monsters marked by a removed rail forget the mark.
class TGamePools final : public IGameWorld, public ISpawnTarget {
public:
    /// fixed: the game's fixed sprites, held by the main window.
    TGamePools(TGameContext& context, TGameSprites& fixed);
    TGamePools(const TGamePools&) = delete;
    TGamePools& operator=(const TGamePools&) = delete;

    // ---- adds (first free slot, lowest number first) ----

    TBullet* AddBullet(int32_t x, int32_t y, int32_t z, int32_t speed, int32_t angle,
                       TBulletKind kind, TBulletOwner owner, int32_t shooterSlot) override;
    /// number: a TMonsterKind's (a number outside them adds nothing). Also resets
    /// MonsterTimer; a Truck sets TruckPresent and a Mega MegaPresent, only when
    /// it found a slot.
    void AddMonster(int32_t x, int32_t y, int32_t z, int32_t number) override;
    /// number: a TGunKind's; any other is a plasma turret. Also resets GunTimer.
    void AddGroundGun(int32_t x, int32_t y, int32_t z, int32_t number) override;
    /// number: a TBonusKind's (a number outside them adds nothing). Also resets
    /// BonusTimer.
    void AddBonus(int32_t x, int32_t y, int32_t z, int32_t number) override;

    // ---- removals; an empty slot or a number outside the pool does nothing ----

    void RemoveBullet(int32_t slot);
    void RemoveBullet(const TBullet& bullet) override;
    /// Clears TruckPresent or MegaPresent for those kinds.
    void RemoveMonster(int32_t slot);
    void RemoveGroundGun(int32_t slot);
    void RemoveBonus(int32_t slot);
    void RemoveAllBullets();
    void RemoveAllGroundGuns();
    void RemoveAllMonsters();
    void RemoveAllBonuses();
    void RemovePlayerRails() override;

    /// Once a game frame after the spawners: removes, in the order bullets, guns,
    /// monsters, bonuses, every object that is beyond x 1400, wholly left of -20,
    /// above -20 or below 680, or that is finished (bullets, guns and monsters:
    /// hidden after their explosion; bonuses: collected).
    void SweepOffscreen();

    // ---- lookups ----

    TBullet* Bullet(int32_t slot) const override;
    TMonster* Monster(int32_t slot) const override;
    TGroundGun* GroundGun(int32_t slot) const override;
    /// The collision rules' table (gameplay/collision_rules).
    void Collide(TMyImageSprite& searcher, TSprite& other) override;
    /// The main window's services.
    ISoundSink& Sound() const override { return sound_; }
    TGameSprites& FixedSprites() const override { return fixed_; }
    TBonus* Bonus(int32_t slot) const;
    /// Occupied slots of each pool.
    int32_t BulletCount() const;
    int32_t MonsterCount() const;
    int32_t GroundGunCount() const;
    int32_t BonusCount() const;

    /// The pools' consistency: every occupied slot holds a live object whose Slot
    /// is that slot; every slot number an object keeps (a stuck bullet's target, an
    /// enemy rail's shooter, a monster's rail mark) names an occupied slot holding
    /// the very object it was taken from; TruckPresent and MegaPresent match the
    /// monsters present. Returns one line per fault, none when all hold.
    std::vector<std::string> CheckInvariants() const;

private:
    TGameContext& context_;
    ISoundSink& sound_;
    TGameSprites& fixed_;
    // Index 0 unused so that slot numbers index directly; null = free.
    std::array<TBullet*, kBulletSlots + 1> bullets_{};
    std::array<TGroundGun*, kGroundGunSlots + 1> guns_{};
    std::array<TMonster*, kMonsterSlots + 1> monsters_{};
    std::array<TBonus*, kBonusSlots + 1> bonuses_{};
};

} // namespace vantorel

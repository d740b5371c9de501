// Every flying enemy. Six kinds share the class and differ in picture, hit points,
// ammunition, flight pattern and weapons (the rows of objects/object_kinds.hpp and
// objects/monster_behaviour.hpp); each keeps its engine flames and muzzle flashes
// in place.
#pragma once

#include "objects/game_world.hpp"
#include "objects/my_image_sprite.hpp"
#include "objects/object_kinds.hpp"

#include <array>
#include <cstdint>

namespace vantorel {

class TBullet;

class TMonster : public TMyImageSprite {
public:
    /// Called by the monster pool with the spawn position; kinds other than the
    /// Destroyer pick their own height.
    TMonster(TGameContext& context, IGameWorld& world, int32_t slot, int32_t x, int32_t y,
             int32_t z, TMonsterKind kind);

    void MoveSelf(int32_t moveCount) override;
    /// Shoots as the kind does (a Truck launches a Destroyer instead).
    void Fire();
    /// Loses amount hit points; the first time they run out the player scores
    /// 5 x MaxHitPoints and the level's quota goes down by one, then it explodes.
    void TakeDamage(int32_t amount);
    /// Turns into its explosion without score; nothing if exploding already.
    void Explode();

    /// Records that player rail bullet has damaged it (pierced monsters are hurt
    /// once per rail).
    void MarkRail(const TBullet& rail);
    /// Forgets the rail mark (the rail is being removed).
    void ClearRailMark();
    /// The rail the mark was taken from; compared, never followed, by the pools'
    /// consistency check.
    const TSprite* LastRail() const { return lastRail_; }

    /// The monster's slot 1..10 in its pool.
    int32_t Slot = 0;
    int32_t MaxHitPoints = 0;
    int32_t HitPoints = 0;
    TMonsterKind Kind = TMonsterKind::CosmoStorm;
    /// Engine flames ("EngineFireR"), as many as the kind has; none in the others.
    std::array<TMyImageSprite*, 5> Flames{};
    /// Truck and Mega: stage of the flight pattern.
    int32_t Phase = 0;
    /// Truck: milliseconds left of its stop.
    int32_t PauseTimer = 0;
    /// Mega: milliseconds to the next change of direction.
    int32_t WanderTimer = 0;
    /// Muzzle flashes, shown and replayed on each shot.
    std::array<TMyImageSprite*, 2> Muzzles{};
    /// Pixels per frame at 85 fps.
    int32_t VX = 0;
    int32_t VY = 0;
    /// UFO: offset of its wave.
    int32_t WavePhase = 0;
    /// Rocketer and Destroyer: milliseconds to the next random vertical turn.
    int32_t TurnTimer = 0;
    /// Slot of the last player rail that damaged it, 0 for none.
    int32_t LastRailSlot = 0;
    /// Milliseconds until it may fire again.
    int32_t FireCooldown = 0;
    /// Shots (or launches) left.
    int32_t Ammo = 0;
    bool Exploding = false;

private:
    void AddFlame(int32_t dx, int32_t dy);
    void AddMuzzle(const char* picture, int32_t dx, int32_t dy, int32_t z);
    void PlaceCompanion(TMyImageSprite* sprite, int32_t dx, int32_t dy, bool takeZ);
    void PlaceCompanions();
    void RandomTurn();
    void FireBullet(int32_t dx, int32_t dy, int32_t z, int32_t speed, int32_t angle,
                    TBulletKind kind, int32_t shooterSlot = 0);
    void ShowMuzzle(TMyImageSprite* muzzle);

    IGameWorld& world_;
    const TSprite* lastRail_ = nullptr;
    int32_t flameCount_ = 0;
};

} // namespace vantorel

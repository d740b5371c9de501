#include "gameplay/collision_rules.hpp"

#include "objects/bonus.hpp"
#include "objects/bullet.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "state/sound_sink.hpp"

#include <array>

namespace vantorel {

namespace {

// ---- the rules, on the typed objects ----

void ShotPushesBonus(IGameWorld&, TBullet&, TBonus& bonus) {
    bonus.Push();
}

/// Shots of the two sides cancel each other out; a spent one is only its
/// explosion and stops nothing.
void ShotsCancel(IGameWorld&, TBullet& bullet, TBullet& other) {
    if (other.Spent)
        return;
    bullet.Explode();
    other.Explode();
}

void EnemyShotHitsShip(IGameWorld& world, TBullet& bullet, TPlayer& player) {
    if (player.State != TPlayerState::Flying)
        return;
    if (bullet.Kind == TBulletKind::Rail) {
        world.RemoveBullet(bullet);
    } else {
        bullet.StickTo(TStickMode::Player, 0);
        bullet.Explode();
    }
    if (!player.ShieldOn())
        player.TakeDamage(bullet.Damage);
    bullet.CanCollide = false;
}

void ShotHitsGroundGun(IGameWorld&, TBullet& bullet, TGroundGun& gun) {
    if (gun.Destroyed)
        return;
    if (bullet.Kind != TBulletKind::Rail) {
        bullet.StickTo(TStickMode::GroundGun, gun.Slot);
        bullet.Explode();
    }
    gun.TakeDamage(bullet.Damage);
    bullet.CanCollide = false;
}

void ShotHitsMonster(IGameWorld&, TBullet& bullet, TMonster& monster) {
    if (monster.Exploding)
        return;
    // A rail hurts monsters only as it pierces them (its own move).
    if (bullet.Kind != TBulletKind::Rail) {
        monster.TakeDamage(bullet.Damage);
        bullet.StickTo(TStickMode::Monster, monster.Slot);
        bullet.Explode();
    }
    bullet.CanCollide = false;
}

void ShipRamsGroundGun(IGameWorld&, TPlayer& player, TGroundGun& gun) {
    if (gun.Destroyed || player.State != TPlayerState::Flying)
        return;
    player.Die();
    gun.Explode();
}

void ShipRamsMonster(IGameWorld&, TPlayer& player, TMonster& monster) {
    if (monster.Exploding || player.State != TPlayerState::Flying)
        return;
    // Only the small Destroyer is stopped by the shield.
    if (monster.Kind != TMonsterKind::Destroyer)
        player.Die();
    else if (!player.ShieldOn())
        player.TakeDamage(1);
    monster.Explode();
}

void ShipCollectsBonus(IGameWorld& world, TPlayer& player, TBonus& bonus) {
    // A bonus already collected this frame waits for the sweep; it gives nothing twice.
    if (player.State == TPlayerState::Exploding || bonus.Taken)
        return;
    world.Sound().PlaySound("Bonus");
    if (bonus.Kind == TBonusKind::Life)
        player.AddLife();
    else if (bonus.Kind == TBonusKind::MegaBomb)
        player.MegaBomb();
    else
        player.ArmBonus(bonus.Kind);
    bonus.Taken = true;
}

// ---- the table ----

/// Turns a rule on typed objects into a table entry; the categories of the
/// entry guarantee the types.
template <typename S, typename O, void (*Rule)(IGameWorld&, S&, O&)>
void Typed(IGameWorld& world, TSprite& searcher, TSprite& other) {
    Rule(world, static_cast<S&>(searcher), static_cast<O&>(other));
}

using C = TCategory;
constexpr TCollisionRule kRules[] = {
    {C::PlayerBullet, C::Bonus, "a shot pushes a bonus", Typed<TBullet, TBonus, ShotPushesBonus>},
    {C::PlayerBullet, C::EnemyBullet, "shots cancel", Typed<TBullet, TBullet, ShotsCancel>},
    {C::EnemyBullet, C::PlayerBullet, "shots cancel", Typed<TBullet, TBullet, ShotsCancel>},
    {C::EnemyBullet, C::Player, "an enemy shot hits the ship",
     Typed<TBullet, TPlayer, EnemyShotHitsShip>},
    {C::PlayerBullet, C::GroundGun, "a shot hits a ground gun",
     Typed<TBullet, TGroundGun, ShotHitsGroundGun>},
    {C::PlayerBullet, C::Monster, "a shot hits a monster",
     Typed<TBullet, TMonster, ShotHitsMonster>},
    {C::Player, C::GroundGun, "the ship rams a ground gun",
     Typed<TPlayer, TGroundGun, ShipRamsGroundGun>},
    {C::Player, C::Monster, "the ship rams a monster", Typed<TPlayer, TMonster, ShipRamsMonster>},
    {C::Player, C::Bonus, "the ship collects a bonus", Typed<TPlayer, TBonus, ShipCollectsBonus>},
};

using TApply = void (*)(IGameWorld&, TSprite&, TSprite&);
using TRuleGrid = std::array<std::array<TApply, kCategoryCount>, kCategoryCount>;

/// The table by (searcher, other) for the lookup of every touch.
constexpr TRuleGrid MakeGrid() {
    TRuleGrid grid{};
    for (const TCollisionRule& rule : kRules)
        grid[static_cast<size_t>(rule.Searcher)][static_cast<size_t>(rule.Other)] = rule.Apply;
    return grid;
}
constexpr TRuleGrid kGrid = MakeGrid();

} // namespace

std::span<const TCollisionRule> CollisionRules() {
    return kRules;
}

void ApplyCollisionRule(IGameWorld& world, TMyImageSprite& searcher, TSprite& other) {
    if ((searcher.HitMask & other.Contents) == 0)
        return;
    const TCategory mine = CategoryOf(searcher.Contents);
    const TCategory theirs = CategoryOf(other.Contents);
    if (TApply apply = kGrid[static_cast<size_t>(mine)][static_cast<size_t>(theirs)])
        apply(world, searcher, other);
}

} // namespace vantorel

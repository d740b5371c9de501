// Steps shared by the whole-game scenarios: reaching the flying ship, a quiet
// field, and putting objects where the ship meets them. Everything still runs
// through real frames of the main loop; only the placing is done by hand.
#pragma once

#include "app/main_window.hpp"
#include "gameplay/game_pools.hpp"
#include "objects/bonus.hpp"
#include "objects/bullet.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <array>

namespace vantorel::testing {

/// The game at screen code 5 with its first banner open: at once when the game
/// starts by itself, else through the main menu's first item.
inline void EnterGame(TScenario& game) {
    TGameState& s = game.State();
    if (s.Cursor.ScreenCode != TScreenCode::Game) {
        ASSERT_TRUE(game.RunUntil(
            [&] {
                return s.Cursor.ScreenCode == TScreenCode::MainMenu &&
                       s.Cursor.WindowKind == TWindowKind::None;
            },
            600));
        game.Form->ActivateItemNo(1);
    }
    ASSERT_EQ(s.Cursor.ScreenCode, TScreenCode::Game);
}

/// The banner is over and the ship has faded in: it can be hit.
inline void PlayUntilFlying(TScenario& game) {
    TGameState& s = game.State();
    ASSERT_TRUE(game.RunUntil([&] { return s.Cursor.WindowKind == TWindowKind::None; }, 300));
    ASSERT_TRUE(game.RunUntil(
        [&] {
            return game.Fixed().Player != nullptr &&
                   game.Fixed().Player->State == TPlayerState::Flying;
        },
        200));
}

/// No enemy and no bonus enters by chance any more this level.
inline void QuietField(TGameState& s) {
    s.Progress.EnemyEnabled.fill(false);
    s.Progress.BonusEnabled.fill(false);
}

/// Adds a monster and returns it (null when the pool refused it).
inline TMonster* AddMonster(TGamePools& pools, int32_t x, int32_t y, int32_t kind) {
    std::array<TMonster*, IGameWorld::kMonsterSlots + 1> before{};
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
        before[static_cast<size_t>(slot)] = pools.Monster(slot);
    pools.AddMonster(x, y, 6, kind);
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
        if (pools.Monster(slot) != before[static_cast<size_t>(slot)])
            return pools.Monster(slot);
    return nullptr;
}

/// A monster that holds its fire, x pixels from the left, its middle on the row
/// that the ship's laser flies along.
inline TMonster* AddTarget(TGamePools& pools, const TPlayer& ship, int32_t x, int32_t kind = 0) {
    TMonster* m = AddMonster(pools, x, 0, kind);
    if (m != nullptr) {
        m->Y = ship.Y + 20 + 4 - m->Height / 2.0;
        m->Ammo = 0;
    }
    return m;
}

/// A bonus of kind lying on the ship: the ship collects it in the next frame.
inline TBonus* AddBonusOnShip(TGamePools& pools, const TPlayer& ship, int32_t kind) {
    const auto x = static_cast<int32_t>(ship.X + ship.Width / 2.0);
    const auto y = static_cast<int32_t>(ship.Y + ship.Height / 2.0);
    for (int32_t slot = 1; slot <= IGameWorld::kBonusSlots; ++slot)
        if (pools.Bonus(slot) == nullptr) {
            pools.AddBonus(x, y, 9, kind);
            return pools.Bonus(slot);
        }
    return nullptr;
}

/// Plays until the ship has collected a bonus of kind put on it.
inline void Collect(TScenario& game, int32_t kind) {
    TPlayer& ship = *game.Fixed().Player;
    TBonus* bonus = AddBonusOnShip(game.Form->Pools(), ship, kind);
    ASSERT_NE(bonus, nullptr);
    const int32_t slot = bonus->Slot;
    ASSERT_TRUE(game.RunUntil([&] { return game.Form->Pools().Bonus(slot) != bonus; }, 5))
        << "bonus kind " << kind << " not collected";
}

/// Live player bullets of kind.
inline int32_t PlayerBullets(const TGamePools& pools, TBulletKind kind) {
    int32_t n = 0;
    for (int32_t slot = 1; slot <= IGameWorld::kBulletSlots; ++slot)
        if (const TBullet* b = pools.Bullet(slot))
            n += b->Owner == TBulletOwner::Player && b->Kind == kind ? 1 : 0;
    return n;
}

/// Life icons shown on the panel.
inline int32_t LifeIconsShown(const TGameSprites& s) {
    int32_t n = 0;
    for (const TMyImageSprite* icon : s.LifeIcons)
        n += icon != nullptr && icon->Visible ? 1 : 0;
    return n;
}

/// The picture the panel's weapon icon shows.
inline std::string WeaponIconShown(const TGameSprites& s) {
    return s.WeaponIcon != nullptr && s.WeaponIcon->Image() != nullptr
               ? s.WeaponIcon->Image()->Name()
               : std::string();
}

} // namespace vantorel::testing

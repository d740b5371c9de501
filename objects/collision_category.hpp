// What a game object is and what it hits, as bits: every object of the play
// field carries one category in the sprite's Contents, and the objects that run
// collision searches (the ship and the bullets) carry a hit mask of the
// categories they act on. What happens when two of them meet is one rule per pair
// in gameplay/collision_rules; a pair outside the searcher's mask is never looked
// up.
#pragma once

#include <bit>
#include <cstdint>

namespace vantorel {

enum class TCategory : uint8_t {
    None = 0,
    Player = 1,
    PlayerBullet = 2,
    EnemyBullet = 3,
    Monster = 4,
    GroundGun = 5,
    Bonus = 6,
};

/// Categories count up to this, exclusive: the size of a table by category.
inline constexpr int32_t kCategoryCount = 7;

/// The Contents bit of a category; 0 for None.
constexpr uint32_t CategoryBit(TCategory category) {
    return category == TCategory::None ? 0u : 1u << static_cast<uint32_t>(category);
}

/// The category whose bit Contents holds: the lowest set bit, None for 0.
constexpr TCategory CategoryOf(uint32_t contents) {
    const int bit = std::countr_zero(contents);
    return bit < kCategoryCount ? static_cast<TCategory>(bit) : TCategory::None;
}

/// What each searcher hits. The ship rams guns and monsters and collects bonuses;
/// its shots hurt guns and monsters, push bonuses and cancel enemy shots; enemy
/// shots hurt the ship and cancel the ship's shots.
inline constexpr uint32_t kPlayerHits = CategoryBit(TCategory::GroundGun) |
                                        CategoryBit(TCategory::Monster) |
                                        CategoryBit(TCategory::Bonus);
inline constexpr uint32_t kPlayerBulletHits =
    CategoryBit(TCategory::Bonus) | CategoryBit(TCategory::EnemyBullet) |
    CategoryBit(TCategory::GroundGun) | CategoryBit(TCategory::Monster);
inline constexpr uint32_t kEnemyBulletHits =
    CategoryBit(TCategory::PlayerBullet) | CategoryBit(TCategory::Player);

} // namespace vantorel

// The game's collision rules: what happens when a searching object (the ship or
// a bullet) touches another, one rule per pair of categories, all in one table.
// The sprite engine finds the touching pairs in its own order (each searcher in
// its move, the others in tree order); the pools hand every pair here.
#pragma once

#include "objects/collision_category.hpp"

#include <span>

namespace vantorel {

class IGameWorld;
class TMyImageSprite;
class TSprite;

/// One entry of the table: searcher of category Searcher touched other of
/// category Other. Apply receives the two as the types their categories name.
struct TCollisionRule {
    TCategory Searcher;
    TCategory Other;
    /// What the rule does, in a few words (for tests and for reading).
    const char* Name;
    void (*Apply)(IGameWorld& world, TSprite& searcher, TSprite& other);
};

/// Every rule; no pair appears twice.
std::span<const TCollisionRule> CollisionRules();

/// Runs the rule for searcher's and other's categories when searcher.HitMask
/// holds other's; nothing for any other pair.
void ApplyCollisionRule(IGameWorld& world, TMyImageSprite& searcher, TSprite& other);

} // namespace vantorel

// The game's state as one number, so that a game played again can be checked
// against the recording frame by frame: what the rules decide (score, lives,
// level, the level's spawning, the screen and window, the random numbers drawn)
// and every sprite the collision rules know (ship, enemies, bullets, guns,
// bonuses) with its place, size, depth, flags and animation, in the tree's
// order. Scenery and menu pieces are left out: the sky scrolls from the start of
// the program and the menu's buttons fade out over a game's first frames, both
// differently in a game and its replay, and neither touches the rules.
#pragma once

#include <cstdint>

namespace vantorel {

class TSprite;
struct TGameState;

/// The rules' state and the game's sprites under root, in the tree's creation order.
uint64_t GameStateHash(const TGameState& state, const TSprite& root);

/// The rules' state alone, without the screen, the window and the sprites: how a
/// game stands at its end, when the game over may already have cleared the
/// sprites and gone to the main menu, or left them under the name entry,
/// depending on the high-score table of the machine that plays it.
uint64_t ProgressHash(const TGameState& state);

} // namespace vantorel

// The game's fixed sprites: the sky behind every screen, the hills, the player's
// ship with its flames, flash and shield, and the panel with its icons. The sprite
// engine owns them; these are the handles the game keeps to reach them again, null
// where the sprite does not live. The main window holds the one set.
#pragma once

#include <array>

namespace vantorel {

class TMyImageSprite;
class TPlayer;
class TScrollBackground;

struct TGameSprites {
    TScrollBackground* Sky = nullptr;          ///< lives for the whole run
    std::array<TScrollBackground*, 3> Hills{}; ///< "Hills1" (front) to "Hills3"
    TPlayer* Player = nullptr;
    TMyImageSprite* EngineFlame1 = nullptr;
    TMyImageSprite* EngineFlame2 = nullptr;
    TMyImageSprite* MuzzleFlash = nullptr;
    TMyImageSprite* ShieldSprite = nullptr;
    TMyImageSprite* Panel = nullptr;
    std::array<TMyImageSprite*, 3> LifeIcons{};
    TMyImageSprite* WeaponIcon = nullptr;
};

} // namespace vantorel

// The heads-up display: the panel across the top of a game with the level, the
// score, up to three life icons, the icon of the special weapon in use and the
// seconds it has left.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vantorel {

struct TGameContext;
struct TGameSprites;

/// The panel, life icons and weapon icon are sprites held in TGameState; the
/// numbers are drawn anew as text over them every frame.
class THud {
public:
    THud(TGameContext& ctx, TGameSprites& fixed) : ctx_(ctx), fixed_(fixed) {}

    /// Makes the sprites, all from the world library: "Panels" at (0, 0) Z 9,
    /// three "PanelLife" at (336|373|410, 41) Z 10, and the weapon icon "Null"
    /// centred on (567, 39) Z 10. Called by NewGame.
    void Create();
    /// Draws the level (style 6, centred on (106, 43)) and the score (style 7,
    /// right end at x 282, centred on y 46); shows one life icon per life (at most
    /// three); shows the special weapon's icon and, when there is one, its time
    /// (style 8, centred on (515, 46)). Called by NewGame, then every game frame
    /// after the spawners, and every frame a window is open over the game. The
    /// sprite changes show from the next frame's draw pass. Does nothing without
    /// the player.
    void Draw();
    /// Kills the panel and the icons and forgets them. Called by EndGame.
    void Remove();

    /// The weapon slot the panel shows, given the player's WeaponOn by slot
    /// (index 0 unused; missing slots count as off): the last held of 2, 3, 4, 6,
    /// 7, 8, else the shield (5) when held, else 0. The plain laser (1) is never
    /// shown.
    static int32_t WeaponSlot(std::span<const bool> weaponOn);
    /// The picture of the weapon icon for slot 0..8 ("Null" for 0 and outside).
    static const char* WeaponIcon(int32_t slot);
    /// A weapon's time left as the panel shows it: whole tens of seconds, then the
    /// seconds digit ("15" for 15000 ms, "05" for 5000, "100" for 100000).
    static std::string TimeText(int32_t ms);

private:
    TGameContext& ctx_;
    TGameSprites& fixed_;
};

} // namespace vantorel

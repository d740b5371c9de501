// The director of a game: it builds the play field when a game starts, runs the
// game's part of every frame, lets enemies and bonuses in, ends each level when
// its quota of kills is met and starts the next, and tears the game down.
#pragma once

#include "gameplay/hud.hpp"
#include "gameplay/landscape.hpp"
#include "gameplay/spawner.hpp"

#include <cstdint>

namespace vantorel {

class TGamePools;
struct TGameContext;
struct TGameSprites;

/// One per main window, for the whole run. The objects of a game live in pools;
/// the fixed sprites (ship, companions, panel, hills) in TGameState.
class TGameFlow {
public:
    /// pools must outlive the flow.
    TGameFlow(TGameContext& ctx, TGamePools& pools);
    TGameFlow(const TGameFlow&) = delete;
    TGameFlow& operator=(const TGameFlow&) = delete;

    /// Starts a game from the main menu: screen code 5 with no items, the race
    /// music, the hills, the ship with its companions (Lives 3, Score 0), the
    /// panel, then level 1 with its banner. Clears TruckPresent and MegaPresent so
    /// that nothing of an earlier game blocks the enemies of this one. The
    /// system pointer is the main window's to hide.
    void NewGame();
    /// Level level begins: its enemy and bonus mix, MonstersLeft 10 x level, and
    /// the "Level N" banner (window kind 6) that freezes the game for 2000 ms. The
    /// spawn timers carry over.
    void StartLevel(int32_t level);
    /// The handler of screen code 5, given LagCount in ms: the move pass (after
    /// which a ship out of lives opens "Game Over"), the ship's controls, the end of a level and
    /// the start of the next, the three spawners, the heads-up display, the sweep of the pools, and
    /// Esc ("Exit to menu?") before "P" (pause): of both in one frame only the first opens.
    void GameTick(int32_t lagCount);
    /// The quota is met: no more spawning; bonuses and bullets go; every monster,
    /// then every ground gun explodes (without score; the sweep takes the wrecks).
    void FinishLevel();
    /// Screen code 0; the hills, the ship and companions, the panel and icons and
    /// every pooled object go, and the dead sprites are freed at once. The sprite
    /// references in TGameState are cleared. The caller builds the next screen.
    void EndGame();

    /// The heads-up display (also called by the game screen under a window).
    void DrawHud() { hud_.Draw(); }
    /// DrawHud while the screen code is 5.
    void DrawHudUnderWindow();

private:
    /// The ship came back with no life left (in its move or at a level's end):
    /// the game-over window opens at once, so nothing later in the frame opens
    /// another.
    void OpenGameOverIfLastLifeGone();

    TGameContext& ctx_;
    TGamePools& pools_;
    TGameSprites& fixed_;
    TLandscape landscape_;
    THud hud_;
    TSpawner spawner_;
};

} // namespace vantorel

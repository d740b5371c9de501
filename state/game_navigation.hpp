// What screens and windows ask of the main window to move between them: open and
// close windows, perform items, start and end a game, build the menu screens and
// leave the program. The main window (app/) implements it.
#pragma once

#include "state/game_state.hpp"

#include <cstdint>

namespace vantorel {

class IGameNavigation {
public:
    virtual ~IGameNavigation() = default;

    /// Opens a window over the current screen; dropped when one is open already.
    virtual void OpenWindow(TWindowKind kind) = 0;
    /// Closes the open window and restores the screen's items.
    virtual void CloseWindow() = 0;
    /// Performs the highlighted item of the open window, or else of the screen.
    virtual void ActivateItem() = 0;
    /// Highlights item, then performs it.
    virtual void ActivateItemNo(int32_t item) = 0;

    /// Starts a game (screen code 5) from the main menu.
    virtual void NewGame() = 0;
    /// Removes the game's sprites; the caller builds the next screen.
    virtual void EndGame() = 0;
    /// Builds the main menu: intro 1 fades it in, item is the highlighted item,
    /// fresh 1 recreates the logos.
    virtual void BuildMainMenu(int32_t intro, int32_t item, int32_t fresh) = 0;
    /// Builds the high-score screen.
    virtual void BuildHighScores() = 0;
    /// Saves, then ends the program after the current frame.
    virtual void ExitGame() = 0;
};

} // namespace vantorel

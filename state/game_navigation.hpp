// What screens and windows ask of the main window to move between them: open and
// close windows, perform items, start and end a game, build the menu screens and
// leave the program, and watch a kept game again. The main window (app/) implements it.
#pragma once

#include "state/game_state.hpp"

#include <cstdint>
#include <string>

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

    /// True when the game that ended with name and score has a kept replay that
    /// this game's rules and data can play.
    virtual bool HasReplay(const std::string& name, int32_t score) const = 0;
    /// Leaves the high-score screen and plays that replay from the next frame
    /// on; the high-score screen comes back when it ends. False, with the screen
    /// as it was, when none can be played.
    virtual bool WatchReplay(const std::string& name, int32_t score) = 0;
};

} // namespace vantorel

// What screens, windows and the game ask of the main window: the flow between
// screens and windows, sound, the display mode and the end of the program. The
// main window (app/) implements it; the layers below call it without knowing it.
#pragma once

#include "state/game_state.hpp"

#include <cstdint>
#include <string>

namespace vantorel {

class IGameShell {
public:
    virtual ~IGameShell() = default;

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

    /// Plays a sound of the sound library by name when the sound option is on.
    virtual void PlaySound(const std::string& name) = 0;
    /// Starts the music that belongs to the current screen, if the music option is on.
    virtual void PlayMusicForScreen() = 0;
    /// Applies the full-screen option to the display.
    virtual void SetDisplayMode() = 0;
    /// Saves, then ends the program after the current frame.
    virtual void ExitGame() = 0;
    /// Writes the high-score table (and the options, which carry its signature)
    /// now, so that a crash or a killed process loses no score.
    virtual void SaveTable() = 0;
};

} // namespace vantorel

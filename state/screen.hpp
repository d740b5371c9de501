// The contract of a screen: the main menu, options, high scores, help and the game.
#pragma once

#include "state/game_state.hpp"

#include <cstdint>

namespace vantorel {

/// One screen, selected by the screen code. Each screen has its own Build with the
/// arguments its callers give it; the main window only dispatches to this face.
class IScreen {
public:
    virtual ~IScreen() = default;

    /// The screen code this screen runs under.
    virtual TScreenCode Code() const = 0;
    /// Once a frame while the screen code is Code() and no window is open.
    virtual void Tick(int32_t lagCount) = 0;
    /// Performs one of this screen's items (the highlighted one, given by the main
    /// window). An index outside the screen's items does nothing.
    virtual void ActivateItem(int32_t item) = 0;
    /// A typed character (Windows-1252; 8 Backspace, 13 Enter, 27 Esc) while this
    /// screen is the one the keys go to. Most ignore it.
    virtual void CharacterTyped(uint8_t character) { (void)character; }
    /// Once a frame while a window is open over this screen, after the window's
    /// tick: what of the screen stays drawn under the window. Most draw nothing.
    virtual void DrawUnderWindow() {}
};

} // namespace vantorel

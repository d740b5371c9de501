// The contract of a modal window kind: questions, pause, level banner, game over,
// name entry and the score report's two windows.
#pragma once

#include "state/game_state.hpp"

#include <cstdint>

namespace vantorel {

/// One window kind. The main window's OpenWindow sets the window kind and saves the
/// item range before it calls Open; CloseWindow calls Close, then restores the
/// range and sets the kind back to none.
class IModalWindow {
public:
    virtual ~IModalWindow() = default;

    virtual TWindowKind Kind() const = 0;
    /// Creates the window's sprites and sets its items and timers.
    virtual void Open() = 0;
    /// Once a frame while this window is open, instead of the screen's tick.
    virtual void Tick(int32_t lagCount) = 0;
    /// Performs the highlighted item of this window (items 11 "Yes" and 12 "No"
    /// on the question windows).
    virtual void ActivateItem(int32_t item) = 0;
    /// A typed character (Windows-1252; 8 Backspace, 13 Enter, 27 Esc) while this
    /// window is the one the keys go to. Most ignore it.
    virtual void CharacterTyped(uint8_t character) { (void)character; }
    /// Kills the window's sprites; the main window then restores the items.
    virtual void Close() = 0;
};

} // namespace vantorel

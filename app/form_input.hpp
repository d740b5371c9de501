// The main window's input: the window events between frames (keys, typed
// characters, the mouse over the display, joystick plug-in) and, once a frame,
// the update of the input states with the pressed-this-frame flags.
#pragma once

#include "platform/events.hpp"

#include <bitset>
#include <cstdint>
#include <functional>

namespace vantorel {

class IGameShell;
class IModalWindow;
class IScreen;
class TDXInput;
class TMenuButton;
struct TGameState;

/// Turns input into the shared state's flags and into the main window's actions.
/// Everything runs on the game thread: HandleEvent between frames, UpdateKeyEdges
/// in the frame.
class TFormInput {
public:
    /// All three must outlive this object.
    TFormInput(TGameState& state, TDXInput& input, IGameShell& shell);

    // What the main window tells this class about itself. Each may stay unset:
    // then there is no screen, no window, no item is hit, hovering always sounds
    // and Alt+Enter leaves the full-screen option alone.

    /// The screen of the current screen code; null for none.
    std::function<IScreen*()> CurrentScreen;
    /// The open modal window; null when none is open.
    std::function<IModalWindow*()> CurrentWindow;
    /// True when display point (x, y) lies on the item's sprite, all four edges
    /// included.
    std::function<bool(const TMenuButton& item, int32_t x, int32_t y)> ItemContains;
    /// True while a change of highlight by the mouse plays no sound (the main
    /// menu's fade-in).
    std::function<bool()> HoverSilent;
    /// Inverts the full-screen option; Alt+Enter then applies it with SetDisplayMode.
    std::function<void()> InvertFullScreen;

    /// One window event. Takes the key, character, mouse, focus-lost and device
    /// events and ignores the rest, so the main window may pass every event here
    /// (and handle closing, quitting and focus for the frame timer itself).
    void HandleEvent(const TPlatformEvent& e);

    /// Once a frame, before the screen or window runs: updates the input states,
    /// then sets each pressed-this-frame flag (Up, Down, Left, Right, P, Y, N, Esc)
    /// when its state is on now and was off at the previous update, and takes the
    /// joystick's fire button into JoystickFireHeld. Mouse motion is kept for the
    /// player ship only while a game runs with no window open; otherwise it is
    /// dropped, so that motion over menus or a paused game never jerks the ship.
    void UpdateKeyEdges();

    // The single events, as HandleEvent routes them.

    /// Ctrl and Space set their held flags. Alt+Enter (not a key repeat) inverts
    /// the full-screen option, opens the pause window during a game, and then
    /// applies the display mode.
    void FormKeyDown(TKey key, TShiftState shift, bool repeat);
    /// Ctrl and Space clear their held flags.
    void FormKeyUp(TKey key);
    /// A typed character (Windows-1252; 8 Backspace, 13 Enter, 27 Esc) goes to the
    /// current screen, then to the open window (each takes what it edits and
    /// ignores the rest); Enter then activates the highlighted item. A character
    /// of the key that went down last is dropped when that key has been held
    /// since before the open window opened: fire held through "Game Over" must
    /// not type its key repeat into the name entry.
    void FormKeyPress(uint8_t character);
    /// Pointer at (x, y) on the display, moved by (dx, dy): stores the position,
    /// adds the motion to the ship's steering, and highlights the first item of
    /// the range under the pointer (none under it: the highlight stays).
    void MouseMove(int32_t x, int32_t y, int32_t dx, int32_t dy);
    /// Any button sets MouseHeld. A left press arms a click that its release
    /// completes; the second press of a double click is a click by itself.
    void MouseDown(TMouseButton button, int32_t clicks);
    /// Any button clears MouseHeld; a left release completes an armed click.
    void MouseUp(TMouseButton button);
    /// A click or double click anywhere on the display: activates the highlighted item.
    void Click();
    /// The window lost the focus: keys and buttons released elsewhere send no
    /// release to the game, so the held flags are cleared now.
    void FocusLost();
    /// A window opened (the main window's OpenWindow): the keys held now type
    /// nothing until they are let go and pressed again.
    void WindowOpened();

private:
    TGameState& state_;
    TDXInput& input_;
    IGameShell& shell_;
    bool clickArmed_ = false;
    /// Keys of the pressed-this-frame flags that went down since the last update.
    uint32_t taps_ = 0;
    /// Keys held now, by key code, and those of them held since before the open
    /// window opened.
    std::bitset<256> keysHeld_;
    std::bitset<256> keysHeldFromBefore_;
    /// The key that went down last (repeats included): the typed characters that
    /// follow are its. None once it is let go.
    TKey lastKeyDown_ = TKey::None;
};

} // namespace vantorel

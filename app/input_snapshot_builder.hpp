// The frame's input snapshot, made once a frame from the window events since the
// last frame and from the input states (keyboard and gamepad), through the key map.
#pragma once

#include "platform/events.hpp"
#include "state/input_snapshot.hpp"

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>

namespace vantorel {

class TDXInput;
struct TMenuCursor;

/// Gathers input between frames and hands it out as one snapshot a frame. Runs
/// on the game thread: HandleEvent between frames, Build at the frame's start.
/// Reads the shared state only to know whether the ship steers.
class TInputSnapshotBuilder {
public:
    /// Both must outlive this object; the input states' tables are set here from
    /// the key map.
    TInputSnapshotBuilder(const TMenuCursor& cursor, TDXInput& input);

    /// Alt+Enter, on the event path: the desktop's switch between full screen and
    /// a window (the main window inverts the option and applies it). The
    /// snapshot carries the press too, for the rules (a running game pauses).
    std::function<void()> SwitchFullScreen;

    /// One window event. Takes the key, character, mouse, focus-lost, close
    /// request and device events and ignores the rest.
    void HandleEvent(const TPlatformEvent& e);

    /// Once a frame, before the screen or window runs: reads the input states and
    /// returns the frame's snapshot. A key of the pressed set counts once, on the
    /// frame its state comes on or (a tap shorter than a frame) its key went down
    /// and up since the last frame. Mouse motion is kept only while a game runs
    /// with no window open.
    TInputSnapshot Build();

    /// A window opened: the keys held now type nothing until they are let go and
    /// pressed again (fire held through "Game Over" must not type its key repeat
    /// into the name entry).
    void WindowOpened();

private:
    void KeyDown(TKey key, TShiftState shift, bool repeat);
    void KeyUp(TKey key);
    void Typed(uint8_t character);
    void MouseDown(TMouseButton button, int32_t clicks);
    void MouseUp(TMouseButton button);
    void FocusLost();

    const TMenuCursor& cursor_;
    TDXInput& input_;

    // Held now (events).
    bool spaceHeld_ = false;
    bool ctrlHeld_ = false;
    bool mouseHeld_ = false;
    bool clickArmed_ = false;
    // Gathered since the last frame.
    uint16_t taps_ = 0;
    int32_t deltaX_ = 0;
    int32_t deltaY_ = 0;
    bool pointerMoved_ = false;
    uint32_t clicks_ = 0;
    std::string typed_;
    // The pointer's last place.
    int32_t pointerX_ = 0;
    int32_t pointerY_ = 0;
    // The states at the last frame: the pressed keys' and the pad's own.
    uint16_t keysBefore_ = 0;
    uint8_t padBefore_ = 0;
    /// Keys held now, by key code, and those of them held since before the open
    /// window opened.
    std::bitset<256> keysHeld_;
    std::bitset<256> keysHeldFromBefore_;
    /// The key that went down last (repeats included): the typed characters that
    /// follow are its. None once it is let go.
    TKey lastKeyDown_ = TKey::None;
};

} // namespace vantorel

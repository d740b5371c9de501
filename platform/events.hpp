// Window-system events as plain data: the game reads these and never sees the
// platform's own event types.
#pragma once

#include <cstdint>

namespace vantorel {

/// Platform-neutral key codes. The numbers are the desktop's classic virtual-key
/// codes (Enter 13, Ctrl 17, Space 32, arrows 37 to 40, digits and letters as
/// their upper-case ASCII), so the game's key rules read as numbers too.
enum class TKey : uint16_t {
    None = 0,
    Backspace = 8,
    Tab = 9,
    Enter = 13,
    Shift = 16,
    Ctrl = 17,
    Alt = 18,
    Pause = 19,
    CapsLock = 20,
    Escape = 27,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    D0 = 48,
    D1,
    D2,
    D3,
    D4,
    D5,
    D6,
    D7,
    D8,
    D9,
    A = 65,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z,
    Numpad0 = 96,
    Numpad1,
    Numpad2,
    Numpad3,
    Numpad4,
    Numpad5,
    Numpad6,
    Numpad7,
    Numpad8,
    Numpad9,
    Multiply = 106,
    Add = 107,
    Subtract = 109,
    Decimal = 110,
    Divide = 111,
    F1 = 112,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    // Punctuation keys have codes of their own, apart from the arrows and editing
    // keys: the apostrophe's character code (39) is the right arrow's key code.
    Semicolon = 186,
    Equals = 187,
    Comma = 188,
    Minus = 189,
    Period = 190,
    Slash = 191,
    Backquote = 192,
    LeftBracket = 219,
    Backslash = 220,
    RightBracket = 221,
    Apostrophe = 222,
};

/// Modifier keys held when the event happened.
struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool operator==(const TShiftState&) const = default;
};

enum class TMouseButton : uint8_t { Left, Right, Middle, Other };

enum class TEventKind : uint8_t {
    KeyDown,       ///< Key, Shift, Repeat (held keys repeat like the desktop's)
    KeyUp,         ///< Key, Shift
    Char,          ///< Char: one typed character in Windows-1252; also 8 (Backspace),
                   ///< 13 (Enter) and 27 (Esc) when those keys go down
    MouseMove,     ///< X, Y on the 800x600 display; DX, DY relative motion
    MouseDown,     ///< Button, X, Y, Clicks (2 for the second press of a double click)
    MouseUp,       ///< Button, X, Y
    CloseRequest,  ///< the player asked the window to close (title bar, Alt+F4)
    Quit,          ///< the session or a signal ends the program
    FocusGained,   ///< the game's window became the active one
    FocusLost,     ///< another window became active, or the game was minimised
    DeviceAdded,   ///< a joystick or gamepad was plugged in
    DeviceRemoved, ///< a joystick or gamepad was unplugged
};

struct TPlatformEvent {
    TEventKind Kind = TEventKind::KeyDown;
    TKey Key = TKey::None;
    TShiftState Shift;
    bool Repeat = false;
    uint8_t Char = 0;
    TMouseButton Button = TMouseButton::Left;
    int32_t Clicks = 0;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t DX = 0;
    int32_t DY = 0;
};

} // namespace vantorel

// The game's controls in one place: which keys steer, fire, pause, answer and go
// back, and which gamepad controls stand for them. The input states
// (engine/dx_input.hpp) poll the devices through the two tables made here; the
// input snapshot builder names what they read with the rest. README's table of
// controls describes the same.
#pragma once

#include "engine/dx_input.hpp"
#include "platform/events.hpp"
#include "state/input_snapshot.hpp"

#include <optional>

namespace vantorel {

class TKeyMap {
public:
    /// The named buttons among the input states.
    static constexpr TDXInputState kFireState = StateButton(1);
    static constexpr TDXInputState kPauseState = StateButton(6);
    static constexpr TDXInputState kYesState = StateButton(7);
    static constexpr TDXInputState kNoState = StateButton(8);
    static constexpr TDXInputState kBackState = StateButton(9);

    /// The keyboard's table: arrows to the four directions; P, Y, N, Esc to pause,
    /// yes, no and back; Space, Enter, Z, X, C, V, B to buttons 10 to 16; digits
    /// 1..9 and 0 to 17..26. No key gives the fire state: the fire keys (Space,
    /// Ctrl) hold fire through their key events.
    static TKeyAssigns KeyboardAssigns();
    /// The gamepad's table: the south face button, the right shoulder and the
    /// right trigger fire; Start pauses and Back goes back, as P and Esc do. No
    /// pad control says yes or no, so a pad never answers a question by accident.
    static TPadAssigns PadAssigns();

    /// The input state whose coming on presses key; none for the full-screen
    /// switch, which is a key event only.
    static std::optional<TDXInputState> StateOf(TInputKey key);
    /// The input state of a pad control (read from the pad's own states).
    static TDXInputState StateOf(TPadControl control);
    /// The pressed key a key-down event taps (Alt held: none).
    static std::optional<TInputKey> PressedKeyOf(TKey key, TShiftState shift);
    /// Space and Ctrl hold fire.
    static std::optional<TFireControl> FireControlOf(TKey key);
    /// Alt+Enter switches between full screen and a window.
    static bool IsFullScreenSwitch(TKey key, TShiftState shift) {
        return key == TKey::Enter && shift.Alt;
    }
};

} // namespace vantorel

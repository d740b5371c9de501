// The desktop keyboard's held keys through SDL.
#pragma once

#include "platform/keyboard_state.hpp"

#include <cstdint>

namespace vantorel {

/// Reads SDL's keyboard state. Each physical key counts as the key the current
/// keyboard layout gives it, so the letters follow the layout the player types
/// with; keys the game has no code for are left out.
class TSdlKeyboardState final : public IKeyboardState {
public:
    void Read(TKeyDownArray& down) override;
};

/// The game's key-down flags for a state array indexed by SDL scan code (count
/// entries, non-zero = held), each scan code taken through the current layout.
void KeysDownFromScancodes(const uint8_t* state, int32_t count, TKeyDownArray& down);

} // namespace vantorel

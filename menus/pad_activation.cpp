#include "menus/pad_activation.hpp"

#include "state/game_state.hpp"

namespace vantorel {

void TPadActivation::Arm(const TGameState& state) {
    previous_ = state.JoystickFireHeld;
}

bool TPadActivation::Pressed(const TGameState& state) {
    const bool pressed = state.JoystickFireHeld && !previous_;
    previous_ = state.JoystickFireHeld;
    return pressed;
}

} // namespace vantorel

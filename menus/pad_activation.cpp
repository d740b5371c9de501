#include "menus/pad_activation.hpp"

#include "state/game_state.hpp"

namespace vantorel {

void TPadActivation::Arm(const TGameState& state) {
    previous_ = state.Input.PadHolds(TPadControl::Fire);
}

bool TPadActivation::Pressed(const TGameState& state) {
    const bool pressed = state.Input.PadHolds(TPadControl::Fire) && !previous_;
    previous_ = state.Input.PadHolds(TPadControl::Fire);
    return pressed;
}

} // namespace vantorel

#include "menus/pad_activation.hpp"

#include "state/input_snapshot.hpp"

namespace vantorel {

void TPadActivation::Arm(const TInputSnapshot& input) {
    previous_ = input.PadHolds(TPadControl::Fire);
}

bool TPadActivation::Pressed(const TInputSnapshot& input) {
    const bool pressed = input.PadHolds(TPadControl::Fire) && !previous_;
    previous_ = input.PadHolds(TPadControl::Fire);
    return pressed;
}

} // namespace vantorel

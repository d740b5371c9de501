#include "gameplay/pause_window.hpp"

#include "state/game_context.hpp"
#include "state/game_state.hpp"

namespace vantorel {

bool TPauseWindow::Over() {
    return ctx_.State.Input.WasPressed(TInputKey::P) || ctx_.State.Input.WasPressed(TInputKey::Esc);
}

} // namespace vantorel

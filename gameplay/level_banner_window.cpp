#include "gameplay/level_banner_window.hpp"

#include "state/game_context.hpp"
#include "state/game_state.hpp"

namespace vantorel {

std::string TLevelBannerWindow::Caption() const {
    return "Level " + std::to_string(ctx_.State.Progress.Level);
}

} // namespace vantorel

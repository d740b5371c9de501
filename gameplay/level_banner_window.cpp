#include "gameplay/level_banner_window.hpp"

#include "menus/menu_text.hpp"
#include "state/game_context.hpp"
#include "state/game_shell.hpp"

#include <string>

namespace vantorel {

void TLevelBannerWindow::Open() {
    ctx_.State.WindowCountdown = kDurationMs;
}

void TLevelBannerWindow::Tick(int32_t lagCount) {
    (void)lagCount;
    TGameState& s = ctx_.State;
    DrawCentredInStyle(ctx_, "Level " + std::to_string(s.Level), 5, 400, 300);
    if (!CountDown(s.WindowCountdown, 0, s.FrameMs))
        ctx_.Shell.CloseWindow();
}

} // namespace vantorel

#include "gameplay/game_over_window.hpp"

#include "menus/menu_text.hpp"
#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void TGameOverWindow::Open() {
    ctx_.State.WindowCountdown = kDurationMs;
}

void TGameOverWindow::Tick(int32_t lagCount) {
    (void)lagCount;
    TGameState& s = ctx_.State;
    DrawCentredInStyle(ctx_, "Game Over", 5, 400, 300);
    if (CountDown(s.WindowCountdown, 0, s.FrameMs))
        return;
    ctx_.Shell.CloseWindow();
    if (s.ScoreQualifies()) {
        ctx_.Shell.OpenWindow(TWindowKind::NameEntry);
    } else {
        ctx_.Shell.EndGame();
        ctx_.Shell.BuildMainMenu(0, 3, 1);
    }
}

} // namespace vantorel

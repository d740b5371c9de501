#include "gameplay/game_over_window.hpp"

#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

namespace vantorel {

void TGameOverWindow::Finish() {
    TCaptionWindow::Finish();
    if (ctx_.State.ScoreQualifies()) {
        ctx_.Navigation.OpenWindow(TWindowKind::NameEntry);
    } else {
        ctx_.Navigation.EndGame();
        ctx_.Navigation.BuildMainMenu(0, 3, 1);
    }
}

} // namespace vantorel

#include "menus/exit_to_menu_window.hpp"

#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

namespace vantorel {

void TExitToMenuWindow::Yes() {
    ctx_.Navigation.CloseWindow();
    if (ctx_.State.ScoreQualifies()) {
        ctx_.Navigation.OpenWindow(TWindowKind::NameEntry);
    } else {
        ctx_.Navigation.EndGame();
        menus_.MainMenu.Build(0, 3, 1);
    }
}

void TExitToMenuWindow::No() {
    ctx_.Navigation.CloseWindow();
}

void TExitToMenuWindow::DrawQuestion() {
    DrawCentredInStyle(ctx_, "Exit to menu?", 1, 400, 280);
}

} // namespace vantorel

#include "menus/exit_game_window.hpp"

#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

namespace vantorel {

void TExitGameWindow::Yes() {
    TGameState& s = ctx_.State;
    ctx_.Navigation.CloseWindow();
    if (s.Sky != nullptr) {
        s.Sky->Kill();
        s.Sky = nullptr;
    }
    menus_.MainMenu.Leave(true);
    ctx_.Navigation.ExitGame();
}

void TExitGameWindow::No() {
    ctx_.Navigation.CloseWindow();
}

void TExitGameWindow::DrawQuestion() {
    DrawCentredInStyle(ctx_, "Exit the game?", 1, 400, 280);
}

} // namespace vantorel

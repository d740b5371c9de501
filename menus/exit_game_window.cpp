#include "menus/exit_game_window.hpp"

#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "objects/game_sprites.hpp"
#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

namespace vantorel {

void TExitGameWindow::Yes() {
    ctx_.Navigation.CloseWindow();
    if (menus_.Fixed.Sky != nullptr) {
        menus_.Fixed.Sky->Kill();
        menus_.Fixed.Sky = nullptr;
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

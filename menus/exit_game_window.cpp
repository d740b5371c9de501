#include "menus/exit_game_window.hpp"

#include "menus/menu_screens.hpp"
#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void TExitGameWindow::Yes() {
    ctx_.Shell.CloseWindow();
    menus_.MainMenu.Leave(true);
    ctx_.Shell.ExitGame();
}

void TExitGameWindow::No() {
    ctx_.Shell.CloseWindow();
}

} // namespace vantorel

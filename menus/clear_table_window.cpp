#include "menus/clear_table_window.hpp"

#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void TClearTableWindow::Yes() {
    ctx_.Shell.CloseWindow();
    ctx_.State.HighScores = HighScoreTable{};
}

void TClearTableWindow::No() {
    ctx_.Shell.CloseWindow();
}

} // namespace vantorel

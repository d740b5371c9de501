#include "menus/send_question_window.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "menus/menu_screens.hpp"
#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void TSendQuestionWindow::Yes() {
    ctx_.Shell.CloseWindow();
    ctx_.Sprites.FreeDead();
    ctx_.Shell.OpenWindow(TWindowKind::Sending);
}

void TSendQuestionWindow::No() {
    ctx_.Shell.CloseWindow();
    ctx_.Shell.EndGame();
    menus_.MainMenu.Build(0, 3, 1);
    menus_.MainMenu.Leave(false);
    menus_.HighScores.Build();
}

} // namespace vantorel

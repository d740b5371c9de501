#include "menus/clear_table_window.hpp"

#include "menus/menu_text.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "state/game_services.hpp"

namespace vantorel {

void TClearTableWindow::Yes() {
    ctx_.Navigation.CloseWindow();
    ctx_.State.Saved.HighScores.ResetToDefaults();
    ctx_.Services.SaveTable();
}

void TClearTableWindow::No() {
    ctx_.Navigation.CloseWindow();
}

void TClearTableWindow::DrawQuestion() {
    DrawCentredInStyle(ctx_, "Do you want to clear", 3, 400, 260);
    DrawCentredInStyle(ctx_, "the High Score Table?", 3, 400, 310);
}

} // namespace vantorel

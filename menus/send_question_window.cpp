#include "menus/send_question_window.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

namespace vantorel {

void TSendQuestionWindow::Yes() {
    ctx_.Navigation.CloseWindow();
    ctx_.Sprites.FreeDead();
    ctx_.Navigation.OpenWindow(TWindowKind::Sending);
}

void TSendQuestionWindow::No() {
    ctx_.Navigation.CloseWindow();
    menus_.ReturnToHighScores();
}

void TSendQuestionWindow::DrawQuestion() {
    DrawCentredInStyle(ctx_, "Send the result", 11, 400, 250);
    DrawCentredInStyle(ctx_, "to the World's", 11, 400, 290);
    DrawCentredInStyle(ctx_, "Highscores page?", 11, 400, 330);
}

} // namespace vantorel

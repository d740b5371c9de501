#include "menus/high_scores_screen.hpp"

#include "menus/menu_screens.hpp"
#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void THighScoresScreen::Build() {
    TGameState& s = ctx_.State;
    s.ScreenCode = TScreenCode::HighScores;
    s.FirstItem = 1;
    s.LastItem = 3;
    s.ItemIndex = 3;
}

void THighScoresScreen::Leave() {
    ctx_.State.ScreenCode = TScreenCode::None;
}

void THighScoresScreen::Tick(int32_t) {}

void THighScoresScreen::ActivateItem(int32_t item) {
    switch (item) {
    case 1:
        ctx_.Shell.OpenWindow(TWindowKind::ClearTable);
        break;
    case 3:
        Leave();
        menus_.MainMenu.Build(0, 3, 0);
        break;
    default:
        break;
    }
}

} // namespace vantorel

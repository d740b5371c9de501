#include "menus/main_menu_screen.hpp"

#include "menus/menu_screens.hpp"
#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void TMainMenuScreen::Build(int32_t, int32_t item, int32_t) {
    TGameState& s = ctx_.State;
    s.ScreenCode = TScreenCode::MainMenu;
    s.FirstItem = 1;
    s.LastItem = 6;
    s.ItemIndex = item;
}

void TMainMenuScreen::Leave(bool) {
    ctx_.State.ScreenCode = TScreenCode::None;
}

void TMainMenuScreen::Tick(int32_t) {}

void TMainMenuScreen::ActivateItem(int32_t item) {
    switch (item) {
    case 1:
        Leave(true);
        ctx_.Shell.NewGame();
        break;
    case 2:
        Leave(false);
        menus_.Options.Build();
        break;
    case 3:
        Leave(false);
        menus_.HighScores.Build();
        break;
    case 4:
        Leave(false);
        menus_.Help.Build();
        break;
    case 6:
        ctx_.Shell.OpenWindow(TWindowKind::ExitGame);
        break;
    default:
        break;
    }
}

} // namespace vantorel

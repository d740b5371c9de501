#include "menus/options_screen.hpp"

#include "menus/menu_screens.hpp"
#include "state/game_context.hpp"

namespace vantorel {

void TOptionsScreen::Build() {
    TGameState& s = ctx_.State;
    s.ScreenCode = TScreenCode::Options;
    s.FirstItem = 1;
    s.LastItem = 5;
    s.ItemIndex = 5;
}

void TOptionsScreen::Leave() {
    ctx_.State.ScreenCode = TScreenCode::None;
}

void TOptionsScreen::Tick(int32_t) {}

void TOptionsScreen::ActivateItem(int32_t item) {
    if (item == 5) {
        Leave();
        menus_.MainMenu.Build(0, 2, 0);
    }
}

} // namespace vantorel

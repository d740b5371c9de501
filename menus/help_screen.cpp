#include "menus/help_screen.hpp"

#include "menus/menu_screens.hpp"
#include "state/game_context.hpp"

namespace vantorel {

namespace {
constexpr int32_t kPages = 3;
}

void THelpScreen::Build() {
    TGameState& s = ctx_.State;
    s.ScreenCode = TScreenCode::Help;
    s.FirstItem = 1;
    s.LastItem = 3;
    s.ItemIndex = 3;
    page_ = 1;
}

void THelpScreen::Leave() {
    ctx_.State.ScreenCode = TScreenCode::None;
}

void THelpScreen::Tick(int32_t) {}

void THelpScreen::ActivateItem(int32_t item) {
    switch (item) {
    case 1:
        StepUpWrap(page_, 1, kPages);
        break;
    case 2:
        StepDownWrap(page_, 1, kPages);
        break;
    case 3:
        Leave();
        menus_.MainMenu.Build(0, 4, 0);
        break;
    default:
        break;
    }
}

} // namespace vantorel

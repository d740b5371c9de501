#include "menus/menu_screens.hpp"

#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

namespace vantorel {

TMenuScreens::TMenuScreens(TGameContext& context, TMenuItems& items, TGameSprites& fixed,
                           ILinkOpener& links, IHttpClient& http)
    : Items(items), Fixed(fixed), MainMenu(context, *this), Options(context, *this),
      HighScores(context, *this), Help(context, *this), ExitGame(context, *this),
      ExitToMenu(context, *this), ClearTable(context, *this), NameEntry(context, *this),
      SendQuestion(context, *this), Sending(context, *this, http), Links(links), context_(context) {
}

void TMenuScreens::ReturnToHighScores() {
    context_.Navigation.EndGame();
    MainMenu.Build(0, 3, 1);
    MainMenu.Leave(false);
    HighScores.Build();
}

} // namespace vantorel

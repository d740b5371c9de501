#include "menus/menu_screens.hpp"

namespace vantorel {

TMenuScreens::TMenuScreens(TGameContext& context)
    : MainMenu(context, *this), Options(context, *this), HighScores(context, *this),
      Help(context, *this), ExitGame(context, *this), ExitToMenu(context, *this),
      ClearTable(context), NameEntry(context), SendQuestion(context, *this), Sending(context) {}

} // namespace vantorel

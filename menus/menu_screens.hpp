// The menu screens and the windows of the menus, made once for the whole run. The
// screens build one another through this set (the main menu builds the options
// screen, the options screen the main menu, and so on).
#pragma once

#include "menus/clear_table_window.hpp"
#include "menus/exit_game_window.hpp"
#include "menus/exit_to_menu_window.hpp"
#include "menus/help_screen.hpp"
#include "menus/high_scores_screen.hpp"
#include "menus/main_menu_screen.hpp"
#include "menus/menu_items.hpp"
#include "menus/name_entry_window.hpp"
#include "menus/options_screen.hpp"
#include "menus/pad_activation.hpp"
#include "menus/send_question_window.hpp"
#include "menus/sending_window.hpp"

namespace vantorel {

class IHttpClient;
class ILinkOpener;
struct TGameContext;
struct TGameSprites;

struct TMenuScreens {
    /// items: the item slots; fixed: the game's fixed sprites (the menus show and,
    /// at exit, remove the sky); links opens the web pages; http sends the score
    /// report. All outlive the menus.
    TMenuScreens(TGameContext& context, TMenuItems& items, TGameSprites& fixed, ILinkOpener& links,
                 IHttpClient& http);
    TMenuScreens(const TMenuScreens&) = delete;
    TMenuScreens& operator=(const TMenuScreens&) = delete;

    /// The items of the screen or window that runs.
    TMenuItems& Items;
    TGameSprites& Fixed;

    TMainMenuScreen MainMenu;
    TOptionsScreen Options;
    THighScoresScreen HighScores;
    THelpScreen Help;

    TExitGameWindow ExitGame;
    TExitToMenuWindow ExitToMenu;
    TClearTableWindow ClearTable;
    TNameEntryWindow NameEntry;
    TSendQuestionWindow SendQuestion;
    TSendingWindow Sending;

    ILinkOpener& Links;
    /// The pad's button as Enter, shared by the screens and windows of the menus
    /// (one of them handles each frame).
    TPadActivation Pad;

    /// After a game whose result was sent or not: the game ends, the main menu is
    /// built with its logos and music and left again at once, and the high-score
    /// screen shows.
    void ReturnToHighScores();

private:
    TGameContext& context_;
};

} // namespace vantorel

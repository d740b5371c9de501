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
#include "menus/name_entry_window.hpp"
#include "menus/options_screen.hpp"
#include "menus/send_question_window.hpp"
#include "menus/sending_window.hpp"

namespace vantorel {

struct TGameContext;

struct TMenuScreens {
    explicit TMenuScreens(TGameContext& context);
    TMenuScreens(const TMenuScreens&) = delete;
    TMenuScreens& operator=(const TMenuScreens&) = delete;

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
};

} // namespace vantorel

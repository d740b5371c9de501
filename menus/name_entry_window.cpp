#include "menus/name_entry_window.hpp"

#include "state/game_context.hpp"
#include "state/game_shell.hpp"

namespace vantorel {

void TNameEntryWindow::Tick(int32_t) {}

void TNameEntryWindow::ActivateItem(int32_t) {
    TGameState& s = ctx_.State;
    s.HighScores[HighScoreTable::Spare] = HighScoreEntry{s.PlayerName, s.Score};
    ctx_.Shell.CloseWindow();
    ctx_.Shell.OpenWindow(TWindowKind::SendQuestion);
}

} // namespace vantorel

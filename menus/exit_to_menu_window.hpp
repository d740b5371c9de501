// "Exit to menu?" during a game: Yes ends the game (with the name entry for a
// qualifying score).
#pragma once

#include "menus/question_window.hpp"

namespace vantorel {

class TExitToMenuWindow final : public TQuestionWindow {
public:
    TExitToMenuWindow(TGameContext& context, TMenuScreens& menus)
        : TQuestionWindow(context, menus, kNo) {}
    TWindowKind Kind() const override { return TWindowKind::ExitToMenu; }

private:
    void Yes() override;
    void No() override;
    void DrawQuestion() override;
};

} // namespace vantorel

// "Exit the game?": Yes ends the program.
#pragma once

#include "menus/question_window.hpp"

namespace vantorel {

class TExitGameWindow final : public TQuestionWindow {
public:
    TExitGameWindow(TGameContext& context, TMenuScreens& menus)
        : TQuestionWindow(context, menus, kNo) {}
    TWindowKind Kind() const override { return TWindowKind::ExitGame; }

private:
    void Yes() override;
    void No() override;
    void DrawQuestion() override;
};

} // namespace vantorel

// "Exit the game?": Yes ends the program.
#pragma once

#include "menus/question_window.hpp"

namespace vantorel {

struct TMenuScreens;

class TExitGameWindow final : public TQuestionWindow {
public:
    TExitGameWindow(TGameContext& context, TMenuScreens& menus)
        : TQuestionWindow(context, kNo), menus_(menus) {}
    TWindowKind Kind() const override { return TWindowKind::ExitGame; }

private:
    void Yes() override;
    void No() override;
    TMenuScreens& menus_;
};

} // namespace vantorel

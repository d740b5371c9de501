// "Send the result to the World's Highscores page?" after the name entry.
#pragma once

#include "menus/question_window.hpp"

namespace vantorel {

struct TMenuScreens;

class TSendQuestionWindow final : public TQuestionWindow {
public:
    TSendQuestionWindow(TGameContext& context, TMenuScreens& menus)
        : TQuestionWindow(context, kYes), menus_(menus) {}
    TWindowKind Kind() const override { return TWindowKind::SendQuestion; }

private:
    void Yes() override;
    void No() override;
    TMenuScreens& menus_;
};

} // namespace vantorel

// "Send the result to the World's Highscores page?" after the name entry.
#pragma once

#include "menus/question_window.hpp"

namespace vantorel {

class TSendQuestionWindow final : public TQuestionWindow {
public:
    TSendQuestionWindow(TGameContext& context, TMenuScreens& menus)
        : TQuestionWindow(context, menus, kYes) {}
    TWindowKind Kind() const override { return TWindowKind::SendQuestion; }

private:
    void Yes() override;
    void No() override;
    void DrawQuestion() override;
};

} // namespace vantorel

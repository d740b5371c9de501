// "Do you want to clear the High Score Table?": Yes puts the default table back.
#pragma once

#include "menus/question_window.hpp"

namespace vantorel {

class TClearTableWindow final : public TQuestionWindow {
public:
    TClearTableWindow(TGameContext& context, TMenuScreens& menus)
        : TQuestionWindow(context, menus, kNo) {}
    TWindowKind Kind() const override { return TWindowKind::ClearTable; }

private:
    void Yes() override;
    void No() override;
    void DrawQuestion() override;
};

} // namespace vantorel

// "Do you want to clear the High Score Table?"
#pragma once

#include "menus/question_window.hpp"

namespace vantorel {

struct TMenuScreens;

class TClearTableWindow final : public TQuestionWindow {
public:
    TClearTableWindow(TGameContext& context) : TQuestionWindow(context, kNo) {}
    TWindowKind Kind() const override { return TWindowKind::ClearTable; }

private:
    void Yes() override;
    void No() override;
};

} // namespace vantorel

// The question windows' common behaviour: the frame, the "Yes" and "No" buttons
// as items 11 and 12, "Y" and "N" as shortcuts, Left and Right to move between
// the buttons, and the pad's button or Enter to answer the highlighted one.
#pragma once

#include "state/modal_window.hpp"

#include <cstdint>

namespace vantorel {

class TMyImageSprite;
struct TGameContext;
struct TMenuScreens;

class TQuestionWindow : public IModalWindow {
public:
    static constexpr int32_t kYes = 11;
    static constexpr int32_t kNo = 12;

    /// Makes the frame and both buttons; items 11..12 with the default answer
    /// highlighted.
    void Open() override;
    /// Moves the buttons, updates their looks, answers at most once a frame ("Y",
    /// "N" or the pad's button, in that order), moves the highlight with Left and
    /// Right, then draws the question while the window is still open.
    void Tick(int32_t lagCount) override;
    /// Answers with item 11 or 12; anything outside the window's range does nothing.
    void ActivateItem(int32_t item) override;
    /// Kills the frame and both buttons.
    void Close() override;

protected:
    /// defaultItem is highlighted when the window opens.
    TQuestionWindow(TGameContext& context, TMenuScreens& menus, int32_t defaultItem)
        : ctx_(context), menus_(menus), defaultItem_(defaultItem) {}
    virtual void Yes() = 0;
    virtual void No() = 0;
    /// The question's lines, drawn every frame over the frame.
    virtual void DrawQuestion() = 0;

    TGameContext& ctx_;
    TMenuScreens& menus_;

private:
    int32_t defaultItem_;
    TMyImageSprite* frame_ = nullptr;
};

} // namespace vantorel

// The three help pages: controls; weapons and bonuses; enemies and scoring.
#pragma once

#include "state/screen.hpp"

#include <cstdint>

namespace vantorel {

class TMyImageSprite;
struct TGameContext;
struct TMenuScreens;

class THelpScreen final : public IScreen {
public:
    THelpScreen(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    /// Enters the help on its first page with Back highlighted.
    void Build();
    void Leave();
    /// The page shown, 1..3.
    int32_t Page() const { return page_; }

    TScreenCode Code() const override { return TScreenCode::Help; }
    /// Up and Down move between the page buttons and Back; Left and Right move
    /// between Prev and Next and turn the page from the button in their direction;
    /// Esc goes back. At most one activation a frame.
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;

private:
    void ShowPage();

    TGameContext& ctx_;
    TMenuScreens& menus_;
    TMyImageSprite* pageSprite_ = nullptr;
    int32_t page_ = 1;
};

} // namespace vantorel

// The main menu: new game, options, high scores, help, the web site and exit,
// under the two logos, with the fade-in that opens the game.
#pragma once

#include "state/screen.hpp"

#include <array>
#include <cstdint>

namespace vantorel {

class TMyImageSprite;
struct TGameContext;
struct TMenuScreens;

class TMainMenuScreen final : public IScreen {
public:
    TMainMenuScreen(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    /// Enters the menu: intro 1 fades it in, item (1..6) is highlighted, fresh 1
    /// restarts the menu song and makes the logos (at start-up and after a game).
    void Build(int32_t intro, int32_t item, int32_t fresh);
    /// Leaves the menu (screen code 0), removing the logos too when withLogos.
    void Leave(bool withLogos);

    /// The fade-in's stage: 0 when it is over, 1 while the upper logo appears, 2
    /// to 7 while the items follow one another. While it runs the keys do nothing
    /// here and a change of highlight by the pointer makes no sound; a click,
    /// Enter or the pad's button still activate.
    int32_t IntroState() const { return intro_; }
    bool IntroRunning() const { return intro_ != 0; }

    TMyImageSprite* UpLogo() const { return logos_[0]; }
    TMyImageSprite* DownLogo() const { return logos_[1]; }

    TScreenCode Code() const override { return TScreenCode::MainMenu; }
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;

private:
    void IntroStep();

    TGameContext& ctx_;
    TMenuScreens& menus_;
    int32_t intro_ = 0;
    std::array<TMyImageSprite*, 2> logos_{};
};

} // namespace vantorel

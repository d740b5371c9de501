// The main menu: new game, options, high scores, help, the web site and exit.
#pragma once

#include "state/screen.hpp"

#include <cstdint>

namespace vantorel {

struct TGameContext;
struct TMenuScreens;

class TMainMenuScreen final : public IScreen {
public:
    TMainMenuScreen(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    /// Enters the menu: intro 1 fades it in, item is highlighted, fresh 1 makes the logos.
    void Build(int32_t intro, int32_t item, int32_t fresh);
    /// Leaves the menu (screen code 0), removing the logos too when withLogos.
    void Leave(bool withLogos);

    TScreenCode Code() const override { return TScreenCode::MainMenu; }
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;

private:
    TGameContext& ctx_;
    TMenuScreens& menus_;
};

} // namespace vantorel

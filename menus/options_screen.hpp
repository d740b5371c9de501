// The options screen: full screen, music, sound effects and the add text.
#pragma once

#include "state/screen.hpp"

#include <cstdint>

namespace vantorel {

struct TGameContext;
struct TMenuScreens;

class TOptionsScreen final : public IScreen {
public:
    TOptionsScreen(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    /// Enters the options screen with its last item (Back) highlighted.
    void Build();
    void Leave();

    TScreenCode Code() const override { return TScreenCode::Options; }
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;

private:
    TGameContext& ctx_;
    TMenuScreens& menus_;
};

} // namespace vantorel

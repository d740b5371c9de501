// The three help pages.
#pragma once

#include "state/screen.hpp"

#include <cstdint>

namespace vantorel {

struct TGameContext;
struct TMenuScreens;

class THelpScreen final : public IScreen {
public:
    THelpScreen(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    /// Enters the help on its first page with Back highlighted.
    void Build();
    void Leave();
    int32_t Page() const { return page_; }

    TScreenCode Code() const override { return TScreenCode::Help; }
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;

private:
    TGameContext& ctx_;
    TMenuScreens& menus_;
    int32_t page_ = 1;
};

} // namespace vantorel

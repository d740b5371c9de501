// Screen code 5: a game in progress.
#pragma once

#include "state/screen.hpp"

namespace vantorel {

class TGameFlow;

/// The main window's handler for screen code 5. Its tick is the game's frame
/// (TGameFlow::GameTick); under an open window it keeps the heads-up display
/// drawn with the frozen values.
class TGameScreen final : public IScreen {
public:
    explicit TGameScreen(TGameFlow& flow) : flow_(flow) {}

    TScreenCode Code() const override { return TScreenCode::Game; }
    void Tick(int32_t lagCount) override;
    /// A game has no items.
    void ActivateItem(int32_t item) override { (void)item; }
    /// The heads-up display, while the screen code is still 5 (a window that ends
    /// the game in its tick leaves nothing to draw).
    void DrawUnderWindow() override;

private:
    TGameFlow& flow_;
};

} // namespace vantorel

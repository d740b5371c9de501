#include "gameplay/game_screen.hpp"

#include "gameplay/game_flow.hpp"

namespace vantorel {

void TGameScreen::Tick(int32_t lagCount) {
    flow_.GameTick(lagCount);
}

void TGameScreen::DrawUnderWindow() {
    flow_.DrawHudUnderWindow();
}

} // namespace vantorel

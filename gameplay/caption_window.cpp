#include "gameplay/caption_window.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/text_drawing.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"

namespace vantorel {

namespace {

constexpr int32_t kCaptionStyle = 5;
constexpr int32_t kCentreX = 400;
constexpr int32_t kCentreY = 300;

} // namespace

void TCaptionWindow::Open() {
    if (durationMs_ > 0)
        ctx_.State.Cursor.WindowCountdown = durationMs_;
}

void TCaptionWindow::Tick(int32_t lagCount) {
    (void)lagCount;
    DrawCentredInStyle(ctx_.Sprites.Engine.Surface(), Caption(), kCaptionStyle, kCentreX, kCentreY);
    if (Over())
        Finish();
}

bool TCaptionWindow::Over() {
    TGameState& s = ctx_.State;
    return durationMs_ > 0 && !CountDown(s.Cursor.WindowCountdown, 0, s.Timing.FrameMs);
}

void TCaptionWindow::Finish() {
    ctx_.Navigation.CloseWindow();
}

} // namespace vantorel

#include "menus/my_cursor.hpp"

#include "state/game_context.hpp"
#include "state/game_state.hpp"

namespace vantorel {

TMyCursor::TMyCursor(TGameContext& context, uint8_t imageListNo, int32_t blinkPeriod, int32_t z,
                     int32_t x, int32_t y, const std::string& imageName)
    : TMyImageSprite(context, imageListNo), BlinkPeriod(blinkPeriod) {
    SetImageByName(imageName);
    X = x;
    Y = y;
    SetZ(z);
    Visible = false;
}

void TMyCursor::MoveSelf(int32_t moveCount) {
    TMyImageSprite::MoveSelf(moveCount);
    if (!Blinking) {
        Visible = false;
        return;
    }
    if (!CountDown(Countdown, 0, Context().State.Timing.FrameMs)) {
        Countdown = BlinkPeriod;
        Visible = !Visible;
    }
}

} // namespace vantorel

// The blinking text cursor after a text being typed: the name in the name entry
// and the add text on the options screen.
#pragma once

#include "objects/my_image_sprite.hpp"

#include <cstdint>
#include <string>

namespace vantorel {

struct TGameContext;

class TMyCursor final : public TMyImageSprite {
public:
    /// A hidden, still cursor showing imageName of library imageListNo with its
    /// top-left corner at (x, y) on layer z; blinkPeriod is the time in
    /// milliseconds between two changes of visibility once Blinking is set.
    /// Owned by the sprite engine; removed with Kill.
    TMyCursor(TGameContext& context, uint8_t imageListNo, int32_t blinkPeriod, int32_t z, int32_t x,
              int32_t y, const std::string& imageName);

    /// While Blinking, the countdown loses FrameMs each move and the cursor shows
    /// or hides whenever it runs out; otherwise the cursor stays hidden.
    void MoveSelf(int32_t moveCount) override;

    /// Milliseconds between two changes of visibility.
    int32_t BlinkPeriod;
    /// Milliseconds left until the next change.
    int32_t Countdown = 0;
    /// The cursor blinks; off, it is hidden.
    bool Blinking = false;
};

} // namespace vantorel

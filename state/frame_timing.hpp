// The frame rate and what follows from it: set at start-up and on every switch of
// the display mode, read by everything that moves or counts down.
#pragma once

#include <cstdint>

namespace vantorel {

struct TFrameTiming {
    /// The display's vertical refresh rate in hertz; 60 when the platform cannot tell.
    int32_t RefreshRate = 60;
    /// 85 / frame rate: multiplies every speed given in pixels per frame at 85 fps.
    double FrameFactor = 1.0;
    /// trunc(1000 / frame rate): milliseconds every timer loses per frame.
    int32_t FrameMs = 15;
    /// The frame rate the two above come from; 0 until the first frame sets them.
    int32_t Rate = 0;

    /// The quantities of a frame rate in hertz (at least 1).
    void SetRate(int32_t rate) {
        Rate = rate;
        FrameFactor = 85.0 / rate;
        FrameMs = 1000 / rate;
    }
};

} // namespace vantorel

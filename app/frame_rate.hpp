// FrameFactor and FrameMs: how far things move and how much time every timer
// loses in one frame, from the display's refresh rate and the measured frame rate.
#pragma once

#include <cstdint>

namespace vantorel {

struct TFrameQuantities {
    double FrameFactor = 1.0; ///< 85 / rate: scales speeds given per frame at 85 fps
    int32_t FrameMs = 15;     ///< trunc(1000 / rate) in milliseconds
    int32_t Rate = 60;        ///< the rate used, in hertz
    bool operator==(const TFrameQuantities&) const = default;
};

/// The rate used is the refresh rate, except where the measured frameRate is more
/// than 3 below it or exactly 1 or 2 above it. frameRate 0 (not measured yet)
/// means the refresh rate. A refreshRate of 0 or less counts as 60.
TFrameQuantities FrameQuantities(int32_t refreshRate, int32_t frameRate);

} // namespace vantorel

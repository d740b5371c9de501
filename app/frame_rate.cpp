#include "app/frame_rate.hpp"

namespace vantorel {

namespace {

TFrameQuantities At(int32_t rate) {
    return {85.0 / rate, static_cast<int32_t>(1000 / rate), rate};
}

} // namespace

TFrameQuantities FrameQuantities(int32_t refreshRate, int32_t frameRate) {
    const int32_t r = refreshRate > 0 ? refreshRate : 60;
    const int32_t f = frameRate;
    // The rules in order, each later one overriding: unmeasured -> refresh;
    // measured -> measured; close below the refresh -> refresh; well above the
    // refresh (a display that does not pace) -> refresh.
    TFrameQuantities q = At(r);
    if (f > 0)
        q = At(f);
    if (r - 3 <= f && f <= r)
        q = At(r);
    if (f > r + 2)
        q = At(r);
    return q;
}

} // namespace vantorel

#include "platform/clock.hpp"

#include <SDL.h>

namespace vantorel {

uint32_t PlatformClockMs() {
    // SDL_GetTicks64 never wraps; the frame timer expects the wrapping 32-bit form.
    return static_cast<uint32_t>(SDL_GetTicks64() & 0xFFFFFFFFu);
}

} // namespace vantorel

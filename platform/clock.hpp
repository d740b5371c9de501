// The millisecond clock that paces the frame timer.
#pragma once

#include <cstdint>
#include <functional>

namespace vantorel {

/// A millisecond clock that wraps at 2^32 (the platform's, or a fake one in tests).
using TMsClock = std::function<uint32_t()>;

/// Milliseconds since the platform started; wraps at 2^32 (about 49.7 days), so
/// callers take differences in unsigned arithmetic.
uint32_t PlatformClockMs();

} // namespace vantorel

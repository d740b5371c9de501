// The millisecond clock that paces the frame timer.
#pragma once

#include <cstdint>

namespace vantorel {

/// Milliseconds since the platform started; wraps at 2^32 (about 49.7 days), so
/// callers take differences in unsigned arithmetic.
uint32_t PlatformClockMs();

} // namespace vantorel

#include "app/frame_timer.hpp"

#include <algorithm>
#include <limits>
#include <utility>

namespace vantorel {

namespace {

/// count * 1000 / elapsed rounded to the nearest integer, halves to even.
int32_t RateHalfEven(int32_t count, uint32_t elapsed) {
    const uint64_t num = static_cast<uint64_t>(count) * 1000u;
    uint64_t q = num / elapsed;
    const uint64_t r2 = (num % elapsed) * 2u;
    if (r2 > elapsed || (r2 == elapsed && (q & 1u) != 0))
        ++q;
    return static_cast<int32_t>(std::min<uint64_t>(q, std::numeric_limits<int32_t>::max()));
}

} // namespace

TDXTimer::TDXTimer(TMsClock clock) : clock_(std::move(clock)) {}

void TDXTimer::Register() {
    registered_ = true;
    lastTime_ = clock_();
    rateStart_ = lastTime_;
}

void TDXTimer::Start(bool applicationActive) {
    active_ = applicationActive;
    registered_ = false;
    initialized_ = true;
    if (!enabled_)
        return;
    if (!ActiveOnly || active_)
        Register();
}

void TDXTimer::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    if (!enabled_)
        registered_ = false;
    else if (initialized_)
        Start(active_);
}

void TDXTimer::ApplicationActivated() {
    active_ = true;
    if (initialized_ && enabled_ && ActiveOnly && !registered_)
        Register();
}

void TDXTimer::ApplicationDeactivated() {
    active_ = false;
    if (initialized_ && ActiveOnly)
        registered_ = false;
}

bool TDXTimer::Idle() {
    if (!registered_)
        return false;
    const uint32_t now = clock_();
    const uint32_t since = now - lastTime_; // unsigned: right across the clock's wrap
    if (since < Interval)
        return false;

    const uint32_t divisor = std::max<uint32_t>(Interval, 1u);
    const uint32_t lag = std::max<uint32_t>(since / divisor, 1u);
    const int32_t lagCount =
        static_cast<int32_t>(std::min<uint32_t>(lag, std::numeric_limits<int32_t>::max()));
    lastTime_ = now;

    ++frameCount_;
    const uint32_t elapsed = std::max<uint32_t>(now - rateStart_, 1u);
    if (elapsed >= 1000u) {
        frameRate_ = RateHalfEven(frameCount_, elapsed);
        frameCount_ = 0;
        rateStart_ = now;
    }

    if (OnTimer)
        OnTimer(lagCount);
    return true;
}

} // namespace vantorel

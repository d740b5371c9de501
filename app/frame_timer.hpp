// The frame timer: fires one frame per idle pass of the main loop and measures the
// frame rate. Pure logic over an injected millisecond clock, so it runs under a
// fake clock in tests.
#pragma once

#include "platform/clock.hpp"

#include <cstdint>
#include <functional>

namespace vantorel {

class TDXTimer {
public:
    explicit TDXTimer(TMsClock clock);

    /// Runs only while the application is active.
    bool ActiveOnly = true;
    /// Minimum milliseconds between frames; 0 fires on every idle pass.
    uint32_t Interval = 0;
    /// The frame: given LagCount, the milliseconds since the previous frame
    /// divided by max(Interval, 1), at least 1.
    std::function<void(int32_t lagCount)> OnTimer;

    bool Enabled() const { return enabled_; }
    /// Disabling removes the idle registration; enabling starts the timer again
    /// (only once it has been started).
    void SetEnabled(bool enabled);

    /// Called once the main window is up: forgets any earlier registration and,
    /// unless ActiveOnly and the application is inactive, registers for idle
    /// passes with the last time and the rate start set to now.
    void Start(bool applicationActive);
    /// The application lost or regained the focus. While ActiveOnly, losing it
    /// stops the frames; regaining it resumes them with the last time and the
    /// rate start reset, so the first LagCount afterwards is small.
    void ApplicationActivated();
    void ApplicationDeactivated();

    /// One idle pass of the main loop: fires OnTimer when registered and at least
    /// Interval ms have passed. True when a frame was fired.
    bool Idle();

    /// True while frames run from the idle passes; the loop may block otherwise.
    bool Registered() const { return registered_; }
    /// Frames per second over the last whole second or more, rounded half to even;
    /// 0 until the first measurement.
    int32_t FrameRate() const { return frameRate_; }

private:
    void Register();

    TMsClock clock_;
    bool enabled_ = true;
    bool initialized_ = false;
    bool registered_ = false;
    bool active_ = true;
    uint32_t lastTime_ = 0;
    uint32_t rateStart_ = 0;
    int32_t frameCount_ = 0;
    int32_t frameRate_ = 0;
};

} // namespace vantorel

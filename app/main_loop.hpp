// The main loop: hands window events to the main window between frames and runs
// frames from the idle passes, until the main window is done.
#pragma once

#include "platform/clock.hpp"

#include <cstdint>

namespace vantorel {

class IEventSource;
class TMForm;

class TMainLoop {
public:
    /// form and events must outlive the loop. clock times the frame-rate log.
    TMainLoop(TMForm& form, IEventSource& events, TMsClock clock);

    /// Logs the measured frame rate to stderr once a second (a developer aid).
    bool LogFrameRate = false;

    /// One pass: every pending event, then one idle pass that runs a frame when
    /// the frame timer says so. While frames are stopped (the window inactive) or a
    /// frame could not be shown, it waits a little for an event instead of spinning.
    /// False once the main window is done.
    bool RunOnce();
    /// Passes until the main window is done.
    void Run();

private:
    void LogRate();

    TMForm& form_;
    IEventSource& events_;
    TMsClock clock_;
    uint32_t lastLog_ = 0;
    int64_t lastFrames_ = 0;
    bool logStarted_ = false;
};

} // namespace vantorel

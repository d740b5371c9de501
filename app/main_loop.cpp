#include "app/main_loop.hpp"

#include "app/main_window.hpp"
#include "platform/event_source.hpp"

#include <cstdio>
#include <utility>

namespace vantorel {

TMainLoop::TMainLoop(TMForm& form, IEventSource& events, TMsClock clock)
    : form_(form), events_(events), clock_(std::move(clock)) {}

bool TMainLoop::RunOnce() {
    TPlatformEvent event;
    while (!form_.Terminated() && events_.Poll(event))
        form_.HandleEvent(event);
    if (form_.Terminated())
        return false;
    if (form_.MDXTimer.Registered()) {
        const int64_t before = form_.FrameCount();
        form_.Idle();
        // A frame that could not be shown was not paced by the display either;
        // rest a little instead of spinning until the display is back.
        if (form_.FrameCount() == before && events_.Wait(event, 10))
            form_.HandleEvent(event);
    } else if (events_.Wait(event, 100)) {
        form_.HandleEvent(event);
    }
    if (LogFrameRate)
        LogRate();
    return !form_.Terminated();
}

void TMainLoop::Run() {
    while (RunOnce()) {
    }
}

void TMainLoop::LogRate() {
    const uint32_t now = clock_();
    if (!logStarted_) {
        logStarted_ = true;
        lastLog_ = now;
        lastFrames_ = form_.FrameCount();
        return;
    }
    if (now - lastLog_ < 1000u)
        return;
    std::fprintf(stderr, "fps %d (frames %lld in %u ms)\n", form_.MDXTimer.FrameRate(),
                 static_cast<long long>(form_.FrameCount() - lastFrames_), now - lastLog_);
    lastLog_ = now;
    lastFrames_ = form_.FrameCount();
}

} // namespace vantorel

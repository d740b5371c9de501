// Program entry: brings up the desktop services and the main window, then runs
// the main loop until the window is done. Frames run from the loop's idle time.
#include "app/main_window.hpp"
#include "base/errors.hpp"
#include "platform/clock.hpp"
#include "platform/events.hpp"
#include "platform/message_box.hpp"
#include "platform/sdl_system.hpp"
#include "platform/sdl_video_output.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {

constexpr const char* kTitle = "Vantorel v.2.0";

/// Developer aid: VANTOREL_DEBUG_FPS=1 logs the measured frame rate once a second.
bool DebugFps() {
    const char* v = std::getenv("VANTOREL_DEBUG_FPS");
    return v != nullptr && std::strcmp(v, "0") != 0 && *v != '\0';
}

int RunGame() {
    using namespace vantorel;
    TSdlSystem system;
    TSdlVideoOutput output(kTitle, 800, 600);
    TMForm form(&output, &PlatformClockMs);
    form.OnError = [](const std::string& text) { ShowErrorBox(kTitle, text); };
    form.FormCreate();
    // A freshly shown window counts as the active one until the desktop says otherwise.
    form.StartFrames(true);

    const bool debugFps = DebugFps();
    if (debugFps)
        std::fprintf(stderr, "display: %s\n", output.Describe().c_str());
    uint32_t lastLog = PlatformClockMs();
    int64_t lastFrames = 0;

    TPlatformEvent event;
    while (!form.Terminated()) {
        while (!form.Terminated() && PollPlatformEvent(event))
            form.HandleEvent(event);
        if (form.Terminated())
            break;
        if (form.MDXTimer.Registered()) {
            const int64_t before = form.FrameCount();
            form.Idle();
            // A frame that could not be shown was not paced by the display either;
            // rest a little instead of spinning until the display is back.
            if (form.FrameCount() == before && WaitPlatformEvent(event, 10))
                form.HandleEvent(event);
        } else if (WaitPlatformEvent(event, 100)) {
            form.HandleEvent(event);
        }
        if (debugFps) {
            const uint32_t now = PlatformClockMs();
            if (now - lastLog >= 1000u) {
                std::fprintf(stderr, "fps %d (frames %lld in %u ms)\n", form.MDXTimer.FrameRate(),
                             static_cast<long long>(form.FrameCount() - lastFrames), now - lastLog);
                lastLog = now;
                lastFrames = form.FrameCount();
            }
        }
    }
    return 0;
}

} // namespace

int main() {
    try {
        return RunGame();
    } catch (const std::exception& e) {
        vantorel::ShowErrorBox(kTitle, e.what());
    } catch (...) {
        vantorel::ShowErrorBox(kTitle, "Unknown error");
    }
    return EXIT_FAILURE;
}

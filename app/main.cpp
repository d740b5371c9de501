// Program entry: brings up the desktop services and the main window, then runs
// the main loop until the window is done.
#include "app/main_loop.hpp"
#include "app/main_window.hpp"
#include "platform/clock.hpp"
#include "platform/curl_http_client.hpp"
#include "platform/desktop_link_opener.hpp"
#include "platform/message_box.hpp"
#include "platform/sdl_audio_output.hpp"
#include "platform/sdl_event_source.hpp"
#include "platform/sdl_joystick_device.hpp"
#include "platform/sdl_keyboard_state.hpp"
#include "platform/sdl_pointer.hpp"
#include "platform/sdl_system.hpp"
#include "platform/sdl_video_output.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kTitle = "Vantorel v.2.0";

/// Developer aid: VANTOREL_DEBUG_FPS=1 logs the measured frame rate once a second.
bool DebugFps() {
    const char* v = std::getenv("VANTOREL_DEBUG_FPS");
    return v != nullptr && std::strcmp(v, "0") != 0 && *v != '\0';
}

/// The game reads Data/ from the working directory; started from elsewhere, it
/// looks beside the program.
void FindDataFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory("Data", ec))
        return;
    const std::string folder = vantorel::ProgramFolder();
    if (!folder.empty() && fs::is_directory(fs::path(folder) / "Data", ec))
        fs::current_path(folder, ec);
}

int RunGame(std::chrono::steady_clock::time_point started) {
    using namespace vantorel;
    TSdlSystem system;
    FindDataFolder();
    TSdlVideoOutput video(kTitle, 800, 600);
    TSdlEventSource events;
    TSdlPointer pointer;
    TSdlKeyboardState keyboard;
    TSdlJoystickDevice joystick;
    TDesktopLinkOpener links;
    TSdlAudioOutput audio;
    TCurlHttpClient http;
    const TDesktopServices services{video,
                                    events,
                                    pointer,
                                    keyboard,
                                    joystick,
                                    links,
                                    audio,
                                    http,
                                    &PlatformClockMs,
                                    [](const std::string& text) { ShowErrorBox(kTitle, text); }};

    // Every game differs: the generator is seeded from the wall clock.
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    const auto seed = static_cast<uint32_t>(now) ^ static_cast<uint32_t>(now >> 32);
    TMForm form(services, seed ^ PlatformClockMs());
    if (!form.FormCreate())
        return EXIT_FAILURE;
    // A freshly shown window counts as the active one until the desktop says otherwise.
    form.StartFrames(true);

    TMainLoop loop(form, events, &PlatformClockMs);
    loop.LogFrameRate = DebugFps();
    if (loop.LogFrameRate)
        std::fprintf(stderr, "display: %s\n", video.Describe().c_str());
    while (form.FrameCount() == 0 && loop.RunOnce()) {
    }
    if (loop.LogFrameRate) {
        // The monotonic clock's reading lets a launcher measure from its exec.
        const auto shown = std::chrono::steady_clock::now();
        const auto ms = [](auto d) {
            return static_cast<long long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
        };
        std::fprintf(stderr,
                     "first frame shown %lld ms after the program started (monotonic %lld ms)\n",
                     ms(shown - started), ms(shown.time_since_epoch()));
    }
    loop.Run();
    return 0;
}

} // namespace

int main() {
    const auto started = std::chrono::steady_clock::now();
    try {
        return RunGame(started);
    } catch (const std::exception& e) {
        vantorel::ShowErrorBox(kTitle, e.what());
    } catch (...) {
        vantorel::ShowErrorBox(kTitle, "Unknown error");
    }
    return EXIT_FAILURE;
}

// Program entry: brings up the desktop services and the main window, then runs
// the main loop until the window is done.
#include "app/main_loop.hpp"
#include "app/main_window.hpp"
#include "app/replay_viewer.hpp"
#include "platform/clock.hpp"
#include "platform/curl_http_client.hpp"
#include "platform/desktop_link_opener.hpp"
#include "platform/message_box.hpp"
#include "platform/sdl_audio_output.hpp"
#include "platform/sdl_event_source.hpp"
#include "platform/sdl_font_renderer.hpp"
#include "platform/sdl_joystick_device.hpp"
#include "platform/sdl_keyboard_state.hpp"
#include "platform/sdl_pointer.hpp"
#include "platform/sdl_system.hpp"
#include "platform/sdl_video_output.hpp"
#include "storage/game_paths.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

namespace {

constexpr const char* kTitle = "Vantorel v.2.0";

/// Developer aid: VANTOREL_DEBUG_FPS=1 logs the measured frame rate once a second.
bool DebugFps() {
    const char* v = std::getenv("VANTOREL_DEBUG_FPS");
    return v != nullptr && std::strcmp(v, "0") != 0 && *v != '\0';
}

#ifndef VANTOREL_VERSION
#define VANTOREL_VERSION "2.0"
#endif

constexpr const char* kUsage =
    "Usage: vantorel [--help | --version | --replay FILE]\n"
    "\n"
    "Vantorel, a horizontally scrolling shoot-'em-up. Started without options, it\n"
    "opens the game's window.\n"
    "\n"
    "  --help         show this text and exit\n"
    "  --version      show the game's version and exit\n"
    "  --replay FILE  open the window and play the recorded game in FILE (a .vrp\n"
    "                 file of the Replays folder beside the saves); 1, 2 and 4 set\n"
    "                 the speed, P or Space pause, Esc ends the program\n"
    "\n"
    "Environment:\n"
    "  VANTOREL_DATA          the data folder (holding Res, Music and Fonts)\n"
    "  VANTOREL_SCORE_SERVER  host[:port] of the world score server\n"
    "  XDG_DATA_HOME          the saves go to $XDG_DATA_HOME/vantorel/Save\n"
    "                         (default ~/.local/share/vantorel/Save)\n"
    "  VANTOREL_DEBUG_FPS=1   print the first frame's time and the frame rate\n";

/// The replay file's game played from the first frame; false, after saying why
/// in the error box, when it cannot be.
bool StartReplay(vantorel::TMForm& form, const std::filesystem::path& file) {
    using namespace vantorel;
    std::string why;
    std::optional<TReplay> replay = TReplayViewer::ReadFile(file, why);
    if (replay)
        why = form.Viewer().Watch(std::move(*replay), TReplayOrigin::Program, TReplayMark::Replay);
    if (why.empty())
        return true;
    if (replay)
        why = "The replay \"" + file.string() + "\" cannot be played here: " + why + ".";
    ShowErrorBox(kTitle, why);
    return false;
}

int RunGame(std::chrono::steady_clock::time_point started,
            const std::optional<std::filesystem::path>& replayFile) {
    using namespace vantorel;
    // Before any window: without its data the game has nothing to show.
    const TGamePaths paths = TGamePaths::Find(TPathEnvironment::Current(ProgramFolder()));
    TSdlSystem system;
    TSdlVideoOutput video(kTitle, 800, 600);
    TSdlEventSource events;
    TSdlPointer pointer;
    TSdlKeyboardState keyboard;
    TSdlJoystickDevice joystick;
    TDesktopLinkOpener links;
    TSdlAudioOutput audio;
    TCurlHttpClient http;
    TSdlFontRenderer fonts;
    const TDesktopServices services{video,
                                    events,
                                    pointer,
                                    keyboard,
                                    joystick,
                                    links,
                                    audio,
                                    http,
                                    fonts,
                                    &PlatformClockMs,
                                    [](const std::string& text) { ShowErrorBox(kTitle, text); }};

    // Every game differs: the generator is seeded from the wall clock.
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    const auto seed = static_cast<uint32_t>(now) ^ static_cast<uint32_t>(now >> 32);
    TMForm form(services, seed ^ PlatformClockMs(), paths);
    if (!form.FormCreate())
        return EXIT_FAILURE;
    // A replay asked for on the command line is watched by itself, recording nothing.
    if (replayFile) {
        form.RecordGames = false;
        if (!StartReplay(form, *replayFile))
            return EXIT_FAILURE;
    }
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

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::optional<std::filesystem::path> replayFile;
    if (argc == 3 && std::string(argv[1]) == "--replay") {
        replayFile = argv[2];
    } else if (argc > 1) {
        const std::string option = argv[1];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return EXIT_SUCCESS;
        }
        if (option == "--version") {
            std::printf("vantorel %s\n", VANTOREL_VERSION);
            return EXIT_SUCCESS;
        }
        if (option == "--replay") {
            std::fprintf(stderr, "vantorel: --replay needs one FILE\n\n%s", kUsage);
            return 2;
        }
        std::fprintf(stderr, "vantorel: unknown option '%s'\n\n%s", argv[1], kUsage);
        return 2;
    }
    try {
        return RunGame(started, replayFile);
    } catch (const std::exception& e) {
        vantorel::ShowErrorBox(kTitle, e.what());
    } catch (...) {
        vantorel::ShowErrorBox(kTitle, "Unknown error");
    }
    return EXIT_FAILURE;
}

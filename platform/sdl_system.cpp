#include "platform/sdl_system.hpp"

#include "base/errors.hpp"

#include <SDL.h>

#include <cstring>
#include <string>

namespace vantorel {

namespace {
constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;

// The stand-in was named in SDL_VIDEODRIVER (the tests run the game that way).
bool WasAskedFor(const char* driver) {
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    return asked != nullptr && std::strstr(asked, driver) != nullptr;
}
} // namespace

bool VideoDriverIsHeadless() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

TSdlSystem::TSdlSystem() {
    // Closing the window is a request the game answers itself; only a signal or
    // the session ending arrives as a quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The pointer steers the ship by relative motion; keep it scaled like the picture.
    SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_SCALING, "1");
    // A click that gives the window the focus also counts as a click in the game.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "1");
    if (SDL_InitSubSystem(kSubsystems) != 0)
        throw EVantorelError(std::string("Cannot start the desktop services: ") + SDL_GetError());
    // With no desktop to reach, SDL falls back to a driver that shows nothing: the
    // game would run unseen, with no way to quit it. Say so instead.
    if (VideoDriverIsHeadless() && !WasAskedFor(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(kSubsystems);
        throw EVantorelError("Cannot open the game's window: no desktop display was found "
                             "(check DISPLAY or WAYLAND_DISPLAY).");
    }
}

// Counted by SDL: the sound and text parts may hold their own services open.
TSdlSystem::~TSdlSystem() {
    SDL_QuitSubSystem(kSubsystems);
}

std::string ProgramFolder() {
    char* path = SDL_GetBasePath();
    if (path == nullptr)
        return {};
    std::string folder(path);
    SDL_free(path);
    return folder;
}

} // namespace vantorel

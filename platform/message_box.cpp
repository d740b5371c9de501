#include "platform/message_box.hpp"

#include "platform/sdl_system.hpp"

#include <SDL.h>

#include <cstdio>

namespace vantorel {

void ShowErrorBox(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    if (VideoDriverIsHeadless())
        return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(),
                             SDL_GetKeyboardFocus());
}

} // namespace vantorel

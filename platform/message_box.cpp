#include "platform/message_box.hpp"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace vantorel {

void ShowErrorBox(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr &&
        (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0))
        return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(),
                             SDL_GetKeyboardFocus());
}

} // namespace vantorel

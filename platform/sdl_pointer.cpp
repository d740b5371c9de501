#include "platform/sdl_pointer.hpp"

#include <SDL.h>

namespace vantorel {

void TSdlPointer::SetVisible(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool TSdlPointer::Visible() const {
    return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

void TSdlPointer::SetRelative(bool relative) {
    SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE);
}

bool TSdlPointer::Relative() const {
    return SDL_GetRelativeMouseMode() == SDL_TRUE;
}

} // namespace vantorel

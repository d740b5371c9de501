#include "platform/pointer.hpp"

#include "platform/sdl_window.hpp"

#include <SDL.h>

#include <cmath>

namespace vantorel {

void SetPointerVisible(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool PointerVisible() {
    return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

bool GetPointerPosition(int32_t& x, int32_t& y) {
    SDL_Window* window = GameWindow();
    if (window == nullptr)
        return false;
    int wx = 0;
    int wy = 0;
    SDL_GetMouseState(&wx, &wy);
    float lx = static_cast<float>(wx);
    float ly = static_cast<float>(wy);
    if (SDL_Renderer* r = SDL_GetRenderer(window))
        SDL_RenderWindowToLogical(r, wx, wy, &lx, &ly);
    x = static_cast<int32_t>(std::floor(lx));
    y = static_cast<int32_t>(std::floor(ly));
    return true;
}

void SetPointerPosition(int32_t x, int32_t y) {
    SDL_Window* window = GameWindow();
    if (window == nullptr)
        return;
    int wx = x;
    int wy = y;
    if (SDL_Renderer* r = SDL_GetRenderer(window))
        SDL_RenderLogicalToWindow(r, static_cast<float>(x), static_cast<float>(y), &wx, &wy);
    SDL_WarpMouseInWindow(window, wx, wy);
}

void SetRelativePointer(bool relative) {
    SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE);
}

} // namespace vantorel

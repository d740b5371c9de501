// The game's one window, for the platform modules that act on it; platform-internal.
#pragma once

#include "platform/letterbox.hpp"

struct SDL_Window;

namespace vantorel {

/// The window made by TSdlVideoOutput; null before it exists and after it is gone.
SDL_Window* GameWindow();
void SetGameWindow(SDL_Window* window);

/// Where the picture sits in the game's window now: the events put pointer
/// positions onto the 800x600 display with it. The window's own size until the
/// window exists.
const TLetterbox& GameWindowFit();
void SetGameWindowFit(const TLetterbox& fit);

} // namespace vantorel

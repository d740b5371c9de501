// The game's one window, for the platform modules that act on it; platform-internal.
#pragma once

struct SDL_Window;

namespace vantorel {

/// The window made by TSdlVideoOutput; null before it exists and after it is gone.
SDL_Window* GameWindow();
void SetGameWindow(SDL_Window* window);

} // namespace vantorel

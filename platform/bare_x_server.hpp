// Full screen on an X server that no window manager runs (Xvfb, a kiosk);
// platform-internal.
#pragma once

struct SDL_Window;

namespace vantorel {

/// Without a window manager nobody answers the full-screen request: SDL then
/// believes the window covers the screen while it keeps its old size, and the
/// picture is cut off. There this moves and sizes the window itself to the
/// rectangle x, y, w, h (the display's) and returns true; on a desktop with a
/// window manager, or not on X at all, it does nothing and returns false.
bool PlaceOnBareXServer(SDL_Window* window, int x, int y, int w, int h);

} // namespace vantorel

// The system mouse pointer over the game's window.
#pragma once

#include <cstdint>

namespace vantorel {

/// Shows or hides the system pointer over the game.
void SetPointerVisible(bool visible);
bool PointerVisible();

/// The pointer's position in 800x600 display pixels; false without a game window.
bool GetPointerPosition(int32_t& x, int32_t& y);
/// Moves the pointer to a display position. Some desktops (Wayland) ignore this;
/// relative motion from the mouse-move events is the robust source of steering.
void SetPointerPosition(int32_t x, int32_t y);

/// In relative mode the pointer is hidden and held by the window, and mouse-move
/// events keep reporting motion at the screen's edges.
void SetRelativePointer(bool relative);

} // namespace vantorel

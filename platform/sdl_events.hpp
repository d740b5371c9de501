// Translation of SDL's events into the game's plain events; platform-internal.
#pragma once

#include "platform/events.hpp"

#include <SDL.h>

#include <vector>

namespace vantorel {

/// Appends the game events that one SDL event makes (none, one or several).
/// Pointer positions are clamped to the 800x600 display.
void TranslateSdlEvent(const SDL_Event& e, std::vector<TPlatformEvent>& out);

/// The game key for an SDL key; TKey::None for keys the game has no name for.
TKey KeyFromSdl(SDL_Keycode key);

} // namespace vantorel

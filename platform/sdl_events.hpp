// Translation of SDL's events into the game's plain events; platform-internal.
#pragma once

#include "platform/events.hpp"
#include "platform/letterbox.hpp"

#include <SDL.h>

#include <vector>

namespace vantorel {

/// Appends the game events that one SDL event makes (none, one or several).
/// Pointer positions in the window go onto the 800x600 display through fit (the
/// picture's place in the window), clamped to it; relative motion is scaled the
/// same way.
void TranslateSdlEvent(const SDL_Event& e, std::vector<TPlatformEvent>& out, const TLetterbox& fit);
/// The same through the game's window as it is now (GameWindowFit).
void TranslateSdlEvent(const SDL_Event& e, std::vector<TPlatformEvent>& out);

/// The game key for an SDL key; TKey::None for keys the game has no name for.
TKey KeyFromSdl(SDL_Keycode key);

} // namespace vantorel

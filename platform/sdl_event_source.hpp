// The desktop's events, through SDL, turned into the game's plain events; and the
// translation of one SDL event, which the tests of this layer call directly. The
// header names SDL's types without including SDL, so that the entry point can
// make the source.
#pragma once

#include "platform/event_source.hpp"
#include "platform/events.hpp"
#include "platform/letterbox.hpp"

#include <cstdint>
#include <deque>
#include <vector>

union SDL_Event;

namespace vantorel {

class TSdlEventSource final : public IEventSource {
public:
    bool Poll(TPlatformEvent& out) override;
    bool Wait(TPlatformEvent& out, int32_t timeoutMs) override;

private:
    /// The game events made from SDL events and not yet taken (one SDL event
    /// may make several).
    std::deque<TPlatformEvent> pending_;
};

/// Appends the game events that one SDL event makes (none, one or several).
/// Pointer positions in the window go onto the 800x600 display through fit (the
/// picture's place in the window), clamped to it; relative motion is scaled the
/// same way.
void TranslateSdlEvent(const SDL_Event& e, std::vector<TPlatformEvent>& out, const TLetterbox& fit);
/// The same through the game's window as it is now (GameWindowFit).
void TranslateSdlEvent(const SDL_Event& e, std::vector<TPlatformEvent>& out);

/// The game key for an SDL key (an SDL_Keycode); TKey::None for keys the game
/// has no name for.
TKey KeyFromSdl(int32_t key);

} // namespace vantorel

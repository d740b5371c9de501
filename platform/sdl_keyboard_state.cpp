#include "platform/sdl_keyboard_state.hpp"

#include "platform/sdl_event_source.hpp"

#include <SDL.h>

namespace vantorel {

void KeysDownFromScancodes(const uint8_t* state, int32_t count, TKeyDownArray& down) {
    down.fill(false);
    if (state == nullptr)
        return;
    for (int32_t sc = 0; sc < count && sc < SDL_NUM_SCANCODES; ++sc) {
        if (state[sc] == 0)
            continue;
        const TKey key = KeyFromSdl(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sc)));
        if (key != TKey::None)
            down[static_cast<uint16_t>(key) & 0xFFu] = true;
    }
}

void TSdlKeyboardState::Read(TKeyDownArray& down) {
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    KeysDownFromScancodes(state, count, down);
}

} // namespace vantorel

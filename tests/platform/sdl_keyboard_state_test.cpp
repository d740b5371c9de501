#include "platform/sdl_event_source.hpp"
#include "platform/sdl_keyboard_state.hpp"
#include "platform/sdl_system.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>

namespace vantorel {
namespace {

TEST(PlatformEvents, PunctuationKeysHaveCodesOfTheirOwn) {
    struct Case {
        SDL_Keycode Sym;
        TKey Key;
        int Code;
    };
    const Case cases[] = {
        {SDLK_QUOTE, TKey::Apostrophe, 222},
        {SDLK_SEMICOLON, TKey::Semicolon, 186},
        {SDLK_EQUALS, TKey::Equals, 187},
        {SDLK_COMMA, TKey::Comma, 188},
        {SDLK_MINUS, TKey::Minus, 189},
        {SDLK_PERIOD, TKey::Period, 190},
        {SDLK_SLASH, TKey::Slash, 191},
        {SDLK_BACKQUOTE, TKey::Backquote, 192},
        {SDLK_LEFTBRACKET, TKey::LeftBracket, 219},
        {SDLK_BACKSLASH, TKey::Backslash, 220},
        {SDLK_RIGHTBRACKET, TKey::RightBracket, 221},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyFromSdl(c.Sym), c.Key) << SDL_GetKeyName(c.Sym);
        EXPECT_EQ(static_cast<int>(c.Key), c.Code) << SDL_GetKeyName(c.Sym);
    }
}

TEST(SdlKeyboardState, HeldScanCodesBecomeTheGamesKeyCodes) {
    TSdlSystem system; // the layout's key map comes with the video service
    struct Case {
        SDL_Scancode Scan;
        TKey Key;
    };
    const Case cases[] = {
        {SDL_SCANCODE_RIGHT, TKey::Right},
        {SDL_SCANCODE_LEFT, TKey::Left},
        {SDL_SCANCODE_UP, TKey::Up},
        {SDL_SCANCODE_DOWN, TKey::Down},
        {SDL_SCANCODE_ESCAPE, TKey::Escape},
        {SDL_SCANCODE_SPACE, TKey::Space},
        {SDL_SCANCODE_RETURN, TKey::Enter},
        {SDL_SCANCODE_1, TKey::D1},
        {SDL_SCANCODE_APOSTROPHE, TKey::Apostrophe},
    };
    for (const Case& c : cases) {
        std::array<uint8_t, SDL_NUM_SCANCODES> state{};
        state[c.Scan] = 1;
        TKeyDownArray down{};
        down[static_cast<size_t>(TKey::F1)] = true; // stale entries are cleared
        KeysDownFromScancodes(state.data(), SDL_NUM_SCANCODES, down);
        int held = 0;
        for (bool d : down)
            held += d ? 1 : 0;
        EXPECT_EQ(held, 1) << SDL_GetScancodeName(c.Scan);
        EXPECT_TRUE(down[static_cast<size_t>(c.Key)]) << SDL_GetScancodeName(c.Scan);
    }

    // The apostrophe must not steer: it is not the right arrow.
    std::array<uint8_t, SDL_NUM_SCANCODES> state{};
    state[SDL_SCANCODE_APOSTROPHE] = 1;
    TKeyDownArray down{};
    KeysDownFromScancodes(state.data(), SDL_NUM_SCANCODES, down);
    EXPECT_FALSE(down[static_cast<size_t>(TKey::Right)]);

    // Nothing held, and a missing state array, read as nothing held.
    TSdlKeyboardState keyboard;
    keyboard.Read(down);
    for (bool d : down)
        EXPECT_FALSE(d);
    KeysDownFromScancodes(nullptr, 0, down);
}

} // namespace
} // namespace vantorel

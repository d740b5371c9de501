#include "platform/events.hpp"
#include "platform/sdl_event_source.hpp"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vantorel {
namespace {

SDL_Event Key(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    return e;
}

SDL_Event Text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof(e.text.text) - 1);
    return e;
}

std::vector<TPlatformEvent> Translate(const SDL_Event& e) {
    std::vector<TPlatformEvent> out;
    TranslateSdlEvent(e, out);
    return out;
}

TEST(PlatformEvents, KeysMapToTheGamesKeyCodes) {
    struct Case {
        SDL_Keycode Sym;
        TKey Key;
    };
    const Case cases[] = {
        {SDLK_UP, TKey::Up},         {SDLK_DOWN, TKey::Down},    {SDLK_LEFT, TKey::Left},
        {SDLK_RIGHT, TKey::Right},   {SDLK_LCTRL, TKey::Ctrl},   {SDLK_RCTRL, TKey::Ctrl},
        {SDLK_SPACE, TKey::Space},   {SDLK_RETURN, TKey::Enter}, {SDLK_KP_ENTER, TKey::Enter},
        {SDLK_ESCAPE, TKey::Escape}, {SDLK_p, TKey::P},          {SDLK_y, TKey::Y},
        {SDLK_n, TKey::N},           {SDLK_a, TKey::A},          {SDLK_z, TKey::Z},
        {SDLK_0, TKey::D0},          {SDLK_9, TKey::D9},         {SDLK_F12, TKey::F12},
        {SDLK_RALT, TKey::Alt},      {SDLK_KP_0, TKey::Numpad0}, {SDLK_KP_9, TKey::Numpad9},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyFromSdl(c.Sym), c.Key) << SDL_GetKeyName(c.Sym);
    EXPECT_EQ(static_cast<int>(TKey::Enter), 13);
    EXPECT_EQ(static_cast<int>(TKey::Ctrl), 17);
    EXPECT_EQ(static_cast<int>(TKey::Space), 32);
    EXPECT_EQ(static_cast<int>(TKey::Left), 37);
    EXPECT_EQ(static_cast<int>(TKey::Down), 40);
    EXPECT_EQ(static_cast<int>(TKey::P), 'P');
}

TEST(PlatformEvents, KeyDownCarriesShiftStateAndRepeat) {
    const auto out = Translate(Key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, 1));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].Kind, TEventKind::KeyDown);
    EXPECT_EQ(out[0].Key, TKey::Enter);
    EXPECT_EQ(out[0].Shift, (TShiftState{false, false, true}));
    EXPECT_TRUE(out[0].Repeat);
    // Enter also types character 13, as Backspace types 8 and Esc 27.
    EXPECT_EQ(out[1].Kind, TEventKind::Char);
    EXPECT_EQ(out[1].Char, 13);

    struct Case {
        SDL_Keycode Sym;
        uint8_t Char;
    };
    for (const Case& c : {Case{SDLK_BACKSPACE, 8}, Case{SDLK_ESCAPE, 27}}) {
        const auto keyed = Translate(Key(SDL_KEYDOWN, c.Sym));
        ASSERT_EQ(keyed.size(), 2u);
        EXPECT_EQ(keyed[1].Char, c.Char);
    }
    // Printable keys type through text input only, and key-ups type nothing.
    EXPECT_EQ(Translate(Key(SDL_KEYDOWN, SDLK_a)).size(), 1u);
    EXPECT_EQ(Translate(Key(SDL_KEYUP, SDLK_RETURN)).size(), 1u);
    // A key the game has no name for is dropped.
    EXPECT_TRUE(Translate(Key(SDL_KEYDOWN, SDLK_VOLUMEUP)).empty());
}

TEST(PlatformEvents, TypedTextBecomesWindows1252Characters) {
    struct Case {
        const char* Utf8;
        std::vector<uint8_t> Chars;
    };
    const Case cases[] = {
        {"a", {'a'}},
        {"Z9 ", {'Z', '9', ' '}},
        {"\xC3\xA9", {0xE9}},         // e acute
        {"\xE2\x82\xAC", {0x80}},     // euro sign
        {"\xD0\x96", {}},             // Cyrillic: no single byte for it
        {"\xF0\x9F\x98\x80x", {'x'}}, // emoji dropped, the rest kept
        {"\xC3", {}},                 // truncated sequence
        {"a\x80z", {'a', 'z'}},       // stray byte dropped, decoding resumes
        {"\xC2\x81", {}},             // C1 control: never a typed character
    };
    for (const Case& c : cases) {
        const auto out = Translate(Text(c.Utf8));
        std::vector<uint8_t> chars;
        for (const auto& e : out) {
            EXPECT_EQ(e.Kind, TEventKind::Char);
            chars.push_back(e.Char);
        }
        EXPECT_EQ(chars, c.Chars) << c.Utf8;
    }
}

TEST(PlatformEvents, MousePositionsStayOnTheDisplay) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = -12;
    e.motion.y = 700;
    e.motion.xrel = -3;
    e.motion.yrel = 4;
    auto out = Translate(e);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Kind, TEventKind::MouseMove);
    EXPECT_EQ(out[0].X, 0);
    EXPECT_EQ(out[0].Y, 599);
    EXPECT_EQ(out[0].DX, -3); // the relative motion is kept whole
    EXPECT_EQ(out[0].DY, 4);

    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.clicks = 2;
    e.button.x = 400;
    e.button.y = 300;
    out = Translate(e);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Kind, TEventKind::MouseDown);
    EXPECT_EQ(out[0].Button, TMouseButton::Right);
    EXPECT_EQ(out[0].Clicks, 2);
    EXPECT_EQ(out[0].X, 400);
}

TEST(PlatformEvents, WindowEventsBecomeCloseQuitAndFocus) {
    struct Case {
        Uint8 WindowEvent;
        TEventKind Kind;
    };
    for (const Case& c : {Case{SDL_WINDOWEVENT_CLOSE, TEventKind::CloseRequest},
                          Case{SDL_WINDOWEVENT_FOCUS_GAINED, TEventKind::FocusGained},
                          Case{SDL_WINDOWEVENT_FOCUS_LOST, TEventKind::FocusLost}}) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = c.WindowEvent;
        const auto out = Translate(e);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].Kind, c.Kind);
    }
    SDL_Event moved{};
    moved.type = SDL_WINDOWEVENT;
    moved.window.event = SDL_WINDOWEVENT_MOVED;
    EXPECT_TRUE(Translate(moved).empty());

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    const auto out = Translate(quit);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Kind, TEventKind::Quit);
}

} // namespace
} // namespace vantorel

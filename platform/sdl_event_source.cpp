#include "platform/sdl_event_source.hpp"

#include "base/text_encoding.hpp"
#include "platform/sdl_window.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <string_view>

namespace vantorel {

namespace {

constexpr int32_t kDisplayWidth = 800;
constexpr int32_t kDisplayHeight = 600;

TShiftState ShiftFromSdl(uint16_t mod) {
    return {(mod & KMOD_SHIFT) != 0, (mod & KMOD_CTRL) != 0, (mod & KMOD_ALT) != 0};
}

TShiftState CurrentShift() {
    return ShiftFromSdl(static_cast<uint16_t>(SDL_GetModState()));
}

TMouseButton ButtonFromSdl(uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return TMouseButton::Left;
    case SDL_BUTTON_RIGHT:
        return TMouseButton::Right;
    case SDL_BUTTON_MIDDLE:
        return TMouseButton::Middle;
    default:
        return TMouseButton::Other;
    }
}

int32_t ClampX(int32_t x) {
    return std::clamp(x, 0, kDisplayWidth - 1);
}
int32_t ClampY(int32_t y) {
    return std::clamp(y, 0, kDisplayHeight - 1);
}

/// Relative motion in desktop units made picture units. While the ship steers
/// (relative mode) the fractions carry over to the next motion, so slow steering
/// in a large window still moves it; over the menus each motion stands alone.
int32_t ScaleMotion(int32_t rel, double scale, double& rest) {
    if (scale == 1.0)
        return rel;
    const double exact = rest + rel * scale;
    // A hair towards the larger size, so 36 units at 5/6 make 30, not 29.999...
    const double whole = std::trunc(exact + (exact < 0 ? -1e-9 : 1e-9));
    rest = exact - whole;
    return static_cast<int32_t>(whole);
}

double gRestX = 0;
double gRestY = 0;

/// The character a key sends by itself, as the desktop's character messages do.
uint8_t ControlCharOfKey(SDL_Keycode key) {
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_ESCAPE:
        return 27;
    case SDLK_TAB:
        return 9;
    default:
        return 0;
    }
}

} // namespace

TKey KeyFromSdl(int32_t key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<TKey>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<TKey>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return static_cast<TKey>(112 + (key - SDLK_F1));
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return static_cast<TKey>(97 + (key - SDLK_KP_1));
    switch (key) {
    case SDLK_BACKSPACE:
        return TKey::Backspace;
    case SDLK_TAB:
        return TKey::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return TKey::Enter;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return TKey::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return TKey::Ctrl;
    case SDLK_LALT:
    case SDLK_RALT:
        return TKey::Alt;
    case SDLK_PAUSE:
        return TKey::Pause;
    case SDLK_CAPSLOCK:
        return TKey::CapsLock;
    case SDLK_ESCAPE:
        return TKey::Escape;
    case SDLK_SPACE:
        return TKey::Space;
    case SDLK_PAGEUP:
        return TKey::PageUp;
    case SDLK_PAGEDOWN:
        return TKey::PageDown;
    case SDLK_END:
        return TKey::End;
    case SDLK_HOME:
        return TKey::Home;
    case SDLK_LEFT:
        return TKey::Left;
    case SDLK_UP:
        return TKey::Up;
    case SDLK_RIGHT:
        return TKey::Right;
    case SDLK_DOWN:
        return TKey::Down;
    case SDLK_INSERT:
        return TKey::Insert;
    case SDLK_DELETE:
        return TKey::Delete;
    case SDLK_KP_0:
        return TKey::Numpad0;
    case SDLK_KP_MULTIPLY:
        return TKey::Multiply;
    case SDLK_KP_PLUS:
        return TKey::Add;
    case SDLK_KP_MINUS:
        return TKey::Subtract;
    case SDLK_KP_PERIOD:
        return TKey::Decimal;
    case SDLK_KP_DIVIDE:
        return TKey::Divide;
    case SDLK_SEMICOLON:
        return TKey::Semicolon;
    case SDLK_EQUALS:
        return TKey::Equals;
    case SDLK_COMMA:
        return TKey::Comma;
    case SDLK_MINUS:
        return TKey::Minus;
    case SDLK_PERIOD:
        return TKey::Period;
    case SDLK_SLASH:
        return TKey::Slash;
    case SDLK_BACKQUOTE:
        return TKey::Backquote;
    case SDLK_LEFTBRACKET:
        return TKey::LeftBracket;
    case SDLK_BACKSLASH:
        return TKey::Backslash;
    case SDLK_RIGHTBRACKET:
        return TKey::RightBracket;
    case SDLK_QUOTE:
        return TKey::Apostrophe;
    default:
        return TKey::None;
    }
}

void TranslateSdlEvent(const SDL_Event& e, std::vector<TPlatformEvent>& out) {
    TranslateSdlEvent(e, out, GameWindowFit());
}

void TranslateSdlEvent(const SDL_Event& e, std::vector<TPlatformEvent>& out,
                       const TLetterbox& fit) {
    TPlatformEvent ev;
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        ev.Kind = e.type == SDL_KEYDOWN ? TEventKind::KeyDown : TEventKind::KeyUp;
        ev.Key = KeyFromSdl(e.key.keysym.sym);
        ev.Shift = ShiftFromSdl(e.key.keysym.mod);
        ev.Repeat = e.key.repeat != 0;
        if (ev.Key != TKey::None)
            out.push_back(ev);
        if (e.type == SDL_KEYDOWN) {
            const uint8_t c = ControlCharOfKey(e.key.keysym.sym);
            if (c != 0) {
                TPlatformEvent ch;
                ch.Kind = TEventKind::Char;
                ch.Char = c;
                ch.Shift = ev.Shift;
                ch.Repeat = ev.Repeat;
                out.push_back(ch);
            }
        }
        return;
    }
    case SDL_TEXTINPUT: {
        const std::string_view text(e.text.text);
        for (size_t pos = 0; pos < text.size();) {
            const std::optional<char32_t> cp = DecodeUtf8(text, pos);
            // Control characters come from their keys (C0) or are never typed (C1).
            if (!cp || *cp < 32 || (*cp >= 0x80 && *cp < 0xA0))
                continue;
            const std::optional<uint8_t> c = CodePointToCp1252(*cp);
            if (!c)
                continue; // Windows-1252 cannot hold it: the game never sees it
            TPlatformEvent ch;
            ch.Kind = TEventKind::Char;
            ch.Char = *c;
            out.push_back(ch);
        }
        return;
    }
    case SDL_MOUSEMOTION: {
        ev.Kind = TEventKind::MouseMove;
        const TFitRect at = fit.ToPicture(e.motion.x, e.motion.y);
        if (SDL_GetRelativeMouseMode() != SDL_TRUE)
            gRestX = gRestY = 0;
        ev.X = ClampX(at.X);
        ev.Y = ClampY(at.Y);
        ev.DX = ScaleMotion(e.motion.xrel, fit.MotionScaleX(), gRestX);
        ev.DY = ScaleMotion(e.motion.yrel, fit.MotionScaleY(), gRestY);
        ev.Shift = CurrentShift();
        out.push_back(ev);
        return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        ev.Kind = e.type == SDL_MOUSEBUTTONDOWN ? TEventKind::MouseDown : TEventKind::MouseUp;
        ev.Button = ButtonFromSdl(e.button.button);
        ev.Clicks = e.button.clicks;
        const TFitRect at = fit.ToPicture(e.button.x, e.button.y);
        ev.X = ClampX(at.X);
        ev.Y = ClampY(at.Y);
        ev.Shift = CurrentShift();
        out.push_back(ev);
        return;
    }
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            ev.Kind = TEventKind::FocusGained;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            ev.Kind = TEventKind::FocusLost;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            ev.Kind = TEventKind::CloseRequest;
            break;
        default:
            return;
        }
        out.push_back(ev);
        return;
    case SDL_QUIT:
        ev.Kind = TEventKind::Quit;
        out.push_back(ev);
        return;
    // Every joystick, gamepad or not, also arrives as a joystick device.
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
        ev.Kind =
            e.type == SDL_JOYDEVICEADDED ? TEventKind::DeviceAdded : TEventKind::DeviceRemoved;
        out.push_back(ev);
        return;
    default:
        return;
    }
}

bool TSdlEventSource::Poll(TPlatformEvent& out) {
    std::vector<TPlatformEvent> made;
    SDL_Event e;
    while (pending_.empty() && SDL_PollEvent(&e) != 0) {
        made.clear();
        TranslateSdlEvent(e, made);
        pending_.insert(pending_.end(), made.begin(), made.end());
    }
    if (pending_.empty())
        return false;
    out = pending_.front();
    pending_.pop_front();
    return true;
}

bool TSdlEventSource::Wait(TPlatformEvent& out, int32_t timeoutMs) {
    if (Poll(out))
        return true;
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, timeoutMs) == 0)
        return false;
    std::vector<TPlatformEvent> made;
    TranslateSdlEvent(e, made);
    pending_.insert(pending_.end(), made.begin(), made.end());
    return Poll(out);
}

} // namespace vantorel

// The desktop services the game uses, as one bundle of interfaces: the real ones
// in the game (over SDL, SDL_ttf and fontconfig, SDL_mixer and libcurl), null or
// scripted ones in tests.
#pragma once

#include "platform/clock.hpp"

#include <cstdint>
#include <functional>
#include <string>

namespace vantorel {

class IAudioOutput;
class IEventSource;
class IFontRenderer;
class IHttpClient;
class IJoystickDevice;
class IKeyboardState;
class ILinkOpener;
class IPointer;
class IVideoOutput;

struct TDesktopServices {
    IVideoOutput& Video;
    IEventSource& Events;
    IPointer& Pointer;
    IKeyboardState& Keyboard;
    IJoystickDevice& Joystick;
    ILinkOpener& Links;
    IAudioOutput& Audio;
    IHttpClient& Http;
    /// The fonts every text of the game is measured and drawn with.
    IFontRenderer& Fonts;
    TMsClock Clock;
    /// Shows a message box with the error text (stderr headless).
    std::function<void(const std::string& text)> ShowError;
};

} // namespace vantorel

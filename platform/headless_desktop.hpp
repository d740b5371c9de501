// The desktop of a game that runs with nothing shown, heard or sent: null video,
// sound, pointer and devices, no events, a clock that stands still, and the real
// fonts (the rules measure no text, but the game draws its panel with them). The
// replay tool, the demo's maker and the replay benchmark play games on it.
#pragma once

#include "platform/audio_output.hpp"
#include "platform/desktop_services.hpp"
#include "platform/event_source.hpp"
#include "platform/http_client.hpp"
#include "platform/joystick_device.hpp"
#include "platform/keyboard_state.hpp"
#include "platform/link_opener.hpp"
#include "platform/pointer.hpp"
#include "platform/sdl_font_renderer.hpp"
#include "platform/video_output.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

struct THeadlessDesktop {
    TNullVideoOutput Video;
    TScriptedEventSource Events;
    TNullPointer Pointer;
    TNullKeyboardState Keyboard;
    TNullJoystickDevice Joystick;
    TRecordingLinkOpener Links;
    TNullAudioOutput Audio;
    TRecordingHttpClient Http;
    TSdlFontRenderer Fonts;
    /// What the game would have shown in an error box.
    std::vector<std::string> Errors;

    TDesktopServices Services() {
        return {Video,
                Events,
                Pointer,
                Keyboard,
                Joystick,
                Links,
                Audio,
                Http,
                Fonts,
                [] { return uint32_t{0}; },
                [this](const std::string& text) { Errors.push_back(text); }};
    }
};

} // namespace vantorel

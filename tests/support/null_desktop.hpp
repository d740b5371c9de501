// The desktop services of headless tests: null video, scripted events, a null
// pointer, recorded links and HTTP requests, silent audio, the real fonts and a
// hand-moved clock.
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

namespace vantorel::testing {

struct TNullDesktop {
    TNullVideoOutput Video;
    TScriptedEventSource Events;
    TNullPointer Pointer;
    TScriptedKeyboardState Keyboard;
    TScriptedJoystickDevice Joystick;
    TRecordingLinkOpener Links;
    TNullAudioOutput Audio;
    TRecordingHttpClient Http;
    /// The real fonts: they need no display, and the name entry's width limit
    /// and the drawn frames the tests look at depend on them.
    TSdlFontRenderer Fonts;
    uint32_t Now = 1000;
    std::vector<std::string> Errors;

    TDesktopServices Services() {
        return TDesktopServices{Video,
                                Events,
                                Pointer,
                                Keyboard,
                                Joystick,
                                Links,
                                Audio,
                                Http,
                                Fonts,
                                [this] { return Now; },
                                [this](const std::string& text) { Errors.push_back(text); }};
    }
};

} // namespace vantorel::testing

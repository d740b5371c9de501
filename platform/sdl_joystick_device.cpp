#include "platform/sdl_joystick_device.hpp"

#include <SDL.h>

#include <algorithm>

namespace vantorel {

struct TSdlJoystickDevice::TOpen {
    SDL_GameController* Pad = nullptr; // set for a gamepad
    SDL_Joystick* Stick = nullptr;     // set for a plain joystick
};

namespace {

TAxisReading SignedAxis(Sint16 value) {
    return {value, -32768, 32767};
}

} // namespace

TSdlJoystickDevice::TSdlJoystickDevice() {
    // Counted by SDL: the subsystem stays up while any user holds it.
    serviceUp_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    Rescan();
}

TSdlJoystickDevice::~TSdlJoystickDevice() {
    Close();
    if (serviceUp_)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

TJoystickKind TSdlJoystickDevice::OpenKind() const {
    if (!open_)
        return TJoystickKind::None;
    return open_->Pad != nullptr ? TJoystickKind::Gamepad : TJoystickKind::Joystick;
}

void TSdlJoystickDevice::Close() {
    if (!open_)
        return;
    if (open_->Pad != nullptr)
        SDL_GameControllerClose(open_->Pad);
    if (open_->Stick != nullptr)
        SDL_JoystickClose(open_->Stick);
    open_.reset();
}

bool TSdlJoystickDevice::Attached() const {
    if (!open_)
        return false;
    if (open_->Pad != nullptr)
        return SDL_GameControllerGetAttached(open_->Pad) == SDL_TRUE;
    return SDL_JoystickGetAttached(open_->Stick) == SDL_TRUE;
}

void TSdlJoystickDevice::Rescan() {
    if (!serviceUp_)
        return;
    if (open_ && Attached())
        return;
    Close();
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        auto device = std::make_unique<TOpen>();
        if (SDL_IsGameController(index) == SDL_TRUE) {
            device->Pad = SDL_GameControllerOpen(index);
        } else {
            device->Stick = SDL_JoystickOpen(index);
        }
        if (device->Pad != nullptr || device->Stick != nullptr) {
            open_ = std::move(device);
            return;
        }
    }
}

TJoystickReading TSdlJoystickDevice::Read() {
    TJoystickReading r;
    if (!serviceUp_)
        return r;
    if (!Attached())
        Rescan();
    if (!open_)
        return r;

    if (SDL_GameController* pad = open_->Pad) {
        r.Kind = TJoystickKind::Gamepad;
        r.X = SignedAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
        r.Y = SignedAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
        r.RightTrigger = {SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT), 0,
                          32767};
        // TPadButton follows SDL's own order of the pad's buttons.
        for (int b = 0; b <= static_cast<int>(TPadButton::DPadRight); ++b)
            if (SDL_GameControllerGetButton(pad, static_cast<SDL_GameControllerButton>(b)) != 0)
                r.Buttons |= 1u << static_cast<unsigned>(b);
        return r;
    }

    SDL_Joystick* stick = open_->Stick;
    r.Kind = TJoystickKind::Joystick;
    const int axes = SDL_JoystickNumAxes(stick);
    if (axes > 0)
        r.X = SignedAxis(SDL_JoystickGetAxis(stick, 0));
    if (axes > 1)
        r.Y = SignedAxis(SDL_JoystickGetAxis(stick, 1));
    const int buttons = std::min(SDL_JoystickNumButtons(stick), 32);
    for (int b = 0; b < buttons; ++b)
        if (SDL_JoystickGetButton(stick, b) != 0)
            r.Buttons |= 1u << static_cast<unsigned>(b);
    return r;
}

static_assert(static_cast<int>(TPadButton::South) == SDL_CONTROLLER_BUTTON_A);
static_assert(static_cast<int>(TPadButton::Back) == SDL_CONTROLLER_BUTTON_BACK);
static_assert(static_cast<int>(TPadButton::Start) == SDL_CONTROLLER_BUTTON_START);
static_assert(static_cast<int>(TPadButton::RightShoulder) == SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
static_assert(static_cast<int>(TPadButton::DPadRight) == SDL_CONTROLLER_BUTTON_DPAD_RIGHT);

} // namespace vantorel

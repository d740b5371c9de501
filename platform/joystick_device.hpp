// The first joystick or gamepad, read once a frame by the input states
// (engine/dx_input.hpp). Only raw readings cross this face; what a stick or a
// button means to the game is decided above it.
#pragma once

#include <cstdint>

namespace vantorel {

enum class TJoystickKind : uint8_t {
    None,     ///< nothing attached, or the device was just unplugged
    Joystick, ///< a device without a known layout: numbered axes and buttons
    Gamepad,  ///< a device with a known pad layout: sticks, D-pad, face buttons, triggers
};

/// A gamepad's buttons by their place on the pad; South is the lower face button.
enum class TPadButton : uint8_t {
    South,
    East,
    West,
    North,
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DPadUp,
    DPadDown,
    DPadLeft,
    DPadRight,
};

/// One axis as the device reports it, with the travel it reports it in (both
/// bounds inclusive). Some devices report signed travel, others unsigned.
struct TAxisReading {
    int32_t Position = 0;
    int32_t Minimum = -32768;
    int32_t Maximum = 32767;
};

/// The device's state at one moment.
struct TJoystickReading {
    TJoystickKind Kind = TJoystickKind::None;
    /// Joystick: its first two axes. Gamepad: the left stick. Y grows downwards.
    TAxisReading X;
    TAxisReading Y;
    /// Joystick: bit i is button i (the first 32 buttons). Gamepad: bit i is the
    /// TPadButton numbered i.
    uint32_t Buttons = 0;
    /// Gamepad only: the right trigger, resting at its Minimum.
    TAxisReading RightTrigger{0, 0, 32767};

    bool PadButton(TPadButton b) const { return ((Buttons >> static_cast<unsigned>(b)) & 1u) != 0; }
    void SetPadButton(TPadButton b, bool down) {
        const uint32_t bit = 1u << static_cast<unsigned>(b);
        Buttons = down ? (Buttons | bit) : (Buttons & ~bit);
    }
};

class IJoystickDevice {
public:
    virtual ~IJoystickDevice() = default;
    /// Looks for the first device again. The main window calls it (through the
    /// input states) when a device was plugged in or out; a device already in use
    /// stays in use while it is attached.
    virtual void Rescan() = 0;
    /// Reads the device now; Kind None when no device is attached. Called once a
    /// frame by the input states.
    virtual TJoystickReading Read() = 0;
};

/// No joystick at all: every reading is Kind None.
class TNullJoystickDevice final : public IJoystickDevice {
public:
    void Rescan() override {}
    TJoystickReading Read() override { return {}; }
};

/// A device whose readings a test (or a scripted game) sets directly.
class TScriptedJoystickDevice final : public IJoystickDevice {
public:
    /// What the next Read returns; Kind None means unplugged.
    TJoystickReading Reading;
    int32_t RescanCount = 0;

    void Rescan() override { ++RescanCount; }
    TJoystickReading Read() override { return Reading; }
};

} // namespace vantorel

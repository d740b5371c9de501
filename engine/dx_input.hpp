// The input-state device: once a frame it reads the keyboard and the first joystick
// or gamepad and turns them into a small set of abstract states (four directions
// and 32 buttons). Which key or pad button gives which state is the main window's
// key map (app/key_map.hpp); this device only polls and applies the tables.
#pragma once

#include "platform/joystick_device.hpp"
#include "platform/keyboard_state.hpp"

#include <array>
#include <cstdint>
#include <functional>

namespace vantorel {

/// The states, numbered from 0: four directions, then buttons 1 to 32 (4 to 35).
enum class TDXInputState : uint8_t {
    StateUp = 0,
    StateDown = 1,
    StateLeft = 2,
    StateRight = 3,
    StateButton1 = 4, ///< StateButtonN is 3 + N
};

/// StateButton1..StateButton32 by number (1-based).
constexpr TDXInputState StateButton(int32_t n) {
    return static_cast<TDXInputState>(3 + n);
}

/// Number of states (bits 0 to 35).
constexpr int32_t kInputStateCount = 36;

/// A set of input states (bits 0 to 35).
class TDXInputStates {
public:
    constexpr bool Contains(TDXInputState s) const {
        return (bits_ >> static_cast<unsigned>(s)) & 1u;
    }
    constexpr void Include(TDXInputState s) { bits_ |= uint64_t{1} << static_cast<unsigned>(s); }
    constexpr void Exclude(TDXInputState s) { bits_ &= ~(uint64_t{1} << static_cast<unsigned>(s)); }
    constexpr uint64_t Bits() const { return bits_; }
    constexpr bool operator==(const TDXInputStates&) const = default;

private:
    uint64_t bits_ = 0;
};

/// Key codes per state: three slots for each of the 36 states, 0 for none. Codes
/// are the game's key codes (TKey); 0 and codes above 255 never match.
using TKeyAssigns = std::array<std::array<uint32_t, 3>, kInputStateCount>;

/// A gamepad's controls by place: the button number (1 to 32, StateButtonN) that
/// each TPadButton and the right trigger (pulled past half its travel) press; 0
/// for none. The stick and the D-pad always give the four directions.
struct TPadAssigns {
    std::array<int32_t, 15> Buttons{};
    int32_t RightTrigger = 0;
};

/// Scales one raw axis reading to -range..range. The travel is centred at
/// (minimum + maximum) / 2, so signed and unsigned devices both rest at 0;
/// deadZone is a percentage (0..100) of half the travel around the centre that
/// reads 0; beyond it the rest of the travel maps linearly onto 1..range, rounded
/// to nearest. Readings outside the travel give at most range.
int32_t ScaleAxis(const TAxisReading& axis, int32_t deadZone, int32_t range);

/// What every device of TDXInput has.
struct TCustomInput {
    /// A disabled device is not read and contributes nothing.
    bool Enabled = true;
    /// The device's states join TDXInput::States.
    bool BindInputStates = true;
    /// The device's own states at the last update.
    TDXInputStates States;
};

/// The keyboard device: the keys held now, through the Assigns table.
class TKeyboard : public TCustomInput {
public:
    /// Empty until the owner sets it: then no key gives a state.
    TKeyAssigns Assigns{};
    /// The keys held at the last update, by key code.
    TKeyDownArray Keys{};

    /// Where the held keys come from; null means no keyboard. Not owned.
    void SetDevice(IKeyboardState* device) { device_ = device; }
    /// Reads the keys and recomputes States; nothing is held when foreground is false.
    void Update(bool foreground);

private:
    IKeyboardState* device_ = nullptr;
};

/// Dead zone and range of one joystick axis.
struct TJoystickAxis {
    /// Percent of half the travel that reads 0 (0 to 100).
    int32_t DeadZone = 50;
    /// The value reported at full deflection.
    int32_t Range = 1000;
};

/// The joystick device: the first joystick or gamepad.
///
/// A plain joystick gives button i as StateButton(i + 1) and its X and Y axes as
/// the four directions. A gamepad is read by the places of its controls: the left
/// stick and the D-pad give the directions, and its buttons and right trigger the
/// button states of the Assigns table.
class TJoystick : public TCustomInput {
public:
    TJoystickAxis AxisX;
    TJoystickAxis AxisY;
    /// Empty until the owner sets it: then a gamepad's buttons give no state.
    TPadAssigns Assigns;

    /// What the last update read: the device's kind (None: no device), the axes
    /// scaled to -Range..Range and the 32 buttons, button 0 first.
    TJoystickKind Kind = TJoystickKind::None;
    int32_t X = 0;
    int32_t Y = 0;
    std::array<bool, 32> Buttons{};

    /// Where the readings come from; null means no joystick. Not owned.
    void SetDevice(IJoystickDevice* device) { device_ = device; }
    /// A joystick or gamepad was plugged in or out: look for the first device again.
    void DevicesChanged();
    /// Reads the device and recomputes States; nothing is read when foreground is false.
    void Update(bool foreground);

private:
    void MapGamepad(const TJoystickReading& r);
    IJoystickDevice* device_ = nullptr;
};

/// The device `MDXInput` of the main window. Update runs once a frame.
class TDXInput {
public:
    /// The states after the last Update; they change only on transitions.
    TDXInputStates States;

    /// Read the devices only while the game's window is the active one.
    bool ActiveOnly = true;
    /// True while the game's window has the focus; when unset the window counts as active.
    std::function<bool()> IsForeground;

    // Devices, in the order they are read.
    TJoystick Joystick;
    TKeyboard Keyboard;

    /// Reads every enabled device, then moves States by transitions: a state that
    /// came on since the last Update is added, one that went off is removed, and
    /// the others are left as they are (so a caller that removed a held state
    /// does not get it back until it is released and pressed again). Called once
    /// a frame by the key-edge update.
    void Update();

    /// Passes a device plug-in or removal on to the joystick device.
    void DevicesChanged() { Joystick.DevicesChanged(); }

private:
    TDXInputStates previous_;
};

} // namespace vantorel

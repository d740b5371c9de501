#include "engine/dx_input.hpp"

#include "app/key_map.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace vantorel {
namespace {

using S = TDXInputState;

TDXInputStates Set(std::initializer_list<TDXInputState> states) {
    TDXInputStates s;
    for (TDXInputState x : states)
        s.Include(x);
    return s;
}

std::string Describe(const TDXInputStates& s) {
    std::string out;
    for (int32_t n = 0; n < kInputStateCount; ++n)
        if (s.Contains(static_cast<TDXInputState>(n)))
            out += std::to_string(n) + " ";
    return out.empty() ? "{}" : out;
}

/// An input component over a scripted keyboard and joystick, in the foreground,
/// with the game's key map.
class InputFixture : public ::testing::Test {
protected:
    InputFixture() {
        input.Keyboard.SetDevice(&keys);
        input.Joystick.SetDevice(&stick);
        input.Keyboard.Assigns = TKeyMap::KeyboardAssigns();
        input.Joystick.Assigns = TKeyMap::PadAssigns();
    }

    /// Updates and returns the published states.
    TDXInputStates Update() {
        input.Update();
        return input.States;
    }

    TScriptedKeyboardState keys;
    TScriptedJoystickDevice stick;
    TDXInput input;
};

// --- Keyboard and its assignments ---

TEST_F(InputFixture, MainWindowKeysGiveTheirStates) {
    struct Case {
        TKey Key;
        TDXInputStates Expected;
    };
    const Case cases[] = {
        {TKey::Up, Set({S::StateUp})},
        {TKey::Down, Set({S::StateDown})},
        {TKey::Left, Set({S::StateLeft})},
        {TKey::Right, Set({S::StateRight})},
        {TKey::P, Set({StateButton(6)})},
        {TKey::Y, Set({StateButton(7)})},
        {TKey::N, Set({StateButton(8)})},
        {TKey::Escape, Set({StateButton(9)})},
        {TKey::Space, Set({StateButton(10)})},
        {TKey::Enter, Set({StateButton(11)})},
        {TKey::Z, Set({StateButton(12)})},
        {TKey::B, Set({StateButton(16)})},
        {TKey::D1, Set({StateButton(17)})},
        {TKey::D9, Set({StateButton(25)})},
        {TKey::D0, Set({StateButton(26)})},
        // Keys with no state of their own.
        {TKey::Ctrl, {}},
        {TKey::A, {}},
        {TKey::Delete, {}},
        {TKey::Numpad6, {}},
        // The apostrophe has its own key code; it used to share the right arrow's.
        {TKey::Apostrophe, {}},
    };
    for (const Case& c : cases) {
        keys.ReleaseAll();
        Update();
        keys.Press(c.Key);
        EXPECT_EQ(Describe(Update()), Describe(c.Expected)) << "key " << static_cast<int>(c.Key);
    }
}

TEST(KeyAssigns, ButtonsOneToFiveAndAboveTwentySixHaveNoKey) {
    const TKeyAssigns table = TKeyMap::KeyboardAssigns();
    for (int32_t n : {1, 2, 3, 4, 5, 27, 32})
        for (uint32_t code : table[static_cast<size_t>(StateButton(n))])
            EXPECT_EQ(code, 0u) << "StateButton" << n;
    // Only the first slot is used.
    for (const auto& row : table) {
        EXPECT_EQ(row[1], 0u);
        EXPECT_EQ(row[2], 0u);
    }
}

TEST_F(InputFixture, AssignSlotsMatchOnlyCodesOneTo255) {
    input.Keyboard.Assigns = {};
    auto& up = input.Keyboard.Assigns[static_cast<size_t>(S::StateUp)];
    up = {0u, 256u + static_cast<uint32_t>(TKey::Left), static_cast<uint32_t>(TKey::W)};

    // Code 0 never matches, even when the device reports entry 0 held.
    struct KeyZero final : IKeyboardState {
        void Read(TKeyDownArray& down) override {
            down.fill(false);
            down[0] = true;
        }
    } zero;
    input.Keyboard.SetDevice(&zero);
    EXPECT_EQ(Describe(Update()), "{}");

    // A code above 255 does not alias a key of its low byte.
    input.Keyboard.SetDevice(&keys);
    keys.Press(TKey::Left);
    EXPECT_EQ(Describe(Update()), "{}");

    // The third slot works like the first.
    keys.Press(TKey::W);
    EXPECT_EQ(Update(), Set({S::StateUp}));
}

// --- The component: union of devices, transitions, foreground ---

TEST_F(InputFixture, StatesMoveOnlyOnTransitions) {
    keys.Press(TKey::Left);
    EXPECT_EQ(Update(), Set({S::StateLeft}));

    // A caller that removes a held state does not get it back while it stays held...
    input.States.Exclude(S::StateLeft);
    EXPECT_EQ(Update(), Set({}));
    EXPECT_EQ(Update(), Set({}));
    // ...and a state the caller adds stays until its own transition.
    input.States.Include(S::StateUp);
    EXPECT_EQ(Update(), Set({S::StateUp}));

    // Release, then press again: back.
    keys.Release(TKey::Left);
    EXPECT_EQ(Update(), Set({S::StateUp}));
    keys.Press(TKey::Left);
    EXPECT_EQ(Update(), Set({S::StateUp, S::StateLeft}));
    keys.Release(TKey::Left);
    EXPECT_EQ(Update(), Set({S::StateUp}));
}

TEST_F(InputFixture, KeyboardAndJoystickAddUp) {
    keys.Press(TKey::Left);
    stick.Reading.Kind = TJoystickKind::Joystick;
    stick.Reading.X.Position = 32767;
    EXPECT_EQ(Update(), Set({S::StateLeft, S::StateRight}));

    // One source going off while the other still holds the state keeps it on.
    keys.Press(TKey::Right);
    Update();
    keys.Release(TKey::Right);
    EXPECT_TRUE(Update().Contains(S::StateRight));
}

TEST_F(InputFixture, InTheBackgroundEveryStateGoes) {
    bool foreground = true;
    input.IsForeground = [&] { return foreground; };
    keys.Press(TKey::Up);
    stick.Reading.Kind = TJoystickKind::Joystick;
    stick.Reading.Buttons = 1u;
    EXPECT_EQ(Update(), Set({S::StateUp, StateButton(1)}));

    foreground = false;
    EXPECT_EQ(Update(), Set({}));
    EXPECT_EQ(input.Joystick.Kind, TJoystickKind::None);

    // Without ActiveOnly the devices are read in the background too.
    input.ActiveOnly = false;
    EXPECT_EQ(Update(), Set({S::StateUp, StateButton(1)}));
}

TEST_F(InputFixture, DisabledOrUnboundDevicesContributeNothing) {
    keys.Press(TKey::Up);
    stick.Reading.Kind = TJoystickKind::Joystick;
    stick.Reading.Buttons = 1u;

    input.Keyboard.Enabled = false;
    EXPECT_EQ(Update(), Set({StateButton(1)}));
    input.Keyboard.Enabled = true;
    input.Joystick.BindInputStates = false;
    EXPECT_EQ(Update(), Set({S::StateUp}));
    // An unbound device is still read: its own states are there for whoever asks.
    EXPECT_EQ(input.Joystick.States, Set({StateButton(1)}));
}

TEST(DXInput, WithoutDevicesNothingIsSet) {
    TDXInput input;
    input.Update();
    EXPECT_EQ(input.States, Set({}));
}

// --- Axis scaling ---

TEST(ScaleAxis, CentresTheTravelAndAppliesTheDeadZone) {
    struct Case {
        const char* Name;
        TAxisReading Axis;
        int32_t DeadZone;
        int32_t Range;
        int32_t Expected;
    };
    const Case cases[] = {
        // Signed travel: at rest it reads 0 (centring at "half" made it full left).
        {"signed at rest", {0, -32768, 32767}, 50, 1000, 0},
        {"signed full right", {32767, -32768, 32767}, 50, 1000, 1000},
        {"signed full left", {-32768, -32768, 32767}, 50, 1000, -1000},
        {"signed 40% of half", {13107, -32768, 32767}, 50, 1000, 0},
        {"signed -40% of half", {-13107, -32768, 32767}, 50, 1000, 0},
        {"signed at the dead zone's edge", {16383, -32768, 32767}, 50, 1000, 0},
        {"signed just past it", {16384, -32768, 32767}, 50, 1000, 0},
        {"signed 75% of half", {24575, -32768, 32767}, 50, 1000, 500},
        {"signed -75% of half", {-24575, -32768, 32767}, 50, 1000, -500},
        // Unsigned travel rests in the middle.
        {"unsigned at rest", {32767, 0, 65535}, 50, 1000, 0},
        {"unsigned full right", {65535, 0, 65535}, 50, 1000, 1000},
        {"unsigned full left", {0, 0, 65535}, 50, 1000, -1000},
        {"unsigned 40%", {32767 + 13107, 0, 65535}, 50, 1000, 0},
        // An offset travel rests at its own middle.
        {"offset at rest", {2000, 1000, 3000}, 50, 1000, 0},
        {"offset full", {3000, 1000, 3000}, 50, 1000, 1000},
        // No dead zone: linear, rounded to nearest.
        {"no dead zone quarter", {250, -1000, 1000}, 0, 1000, 250},
        {"no dead zone rounds", {1, -1000, 1000}, 0, 1500, 2},
        {"no dead zone rounds negative", {-1, -1000, 1000}, 0, 1500, -2},
        // Degenerate settings and devices.
        {"dead zone 100", {1000, -1000, 1000}, 100, 1000, 0},
        {"dead zone above 100", {1000, -1000, 1000}, 150, 1000, 0},
        {"no travel", {5, 5, 5}, 50, 1000, 0},
        {"beyond the travel", {5000, -1000, 1000}, 0, 1000, 1000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleAxis(c.Axis, c.DeadZone, c.Range), c.Expected) << c.Name;
}

// --- Joystick and gamepad mapping ---

TEST_F(InputFixture, PlainJoystickButtonsAndAxes) {
    stick.Reading.Kind = TJoystickKind::Joystick;
    struct Case {
        int32_t Button;
        TDXInputState Expected;
    };
    for (const Case& c : {Case{0, StateButton(1)}, Case{5, StateButton(6)}, Case{6, StateButton(7)},
                          Case{8, StateButton(9)}, Case{31, StateButton(32)}}) {
        stick.Reading.Buttons = 1u << c.Button;
        EXPECT_EQ(Update(), Set({c.Expected})) << "button " << c.Button;
    }
    stick.Reading.Buttons = 0;

    struct AxisCase {
        int32_t X, Y;
        TDXInputStates Expected;
    };
    const AxisCase axes[] = {
        {0, 0, Set({})},
        {-32768, 0, Set({S::StateLeft})},
        {32767, 0, Set({S::StateRight})},
        {0, -32768, Set({S::StateUp})},
        {0, 32767, Set({S::StateDown})},
        {32767, 32767, Set({S::StateRight, S::StateDown})},
        {10000, -10000, Set({})}, // inside the dead zone
    };
    for (const AxisCase& a : axes) {
        stick.Reading.X.Position = a.X;
        stick.Reading.Y.Position = a.Y;
        EXPECT_EQ(Describe(Update()), Describe(a.Expected)) << a.X << "," << a.Y;
    }
}

TEST_F(InputFixture, GamepadControlsByTheirPlace) {
    struct Case {
        const char* Name;
        TPadButton Button;
        TDXInputStates Expected;
    };
    const Case cases[] = {
        {"south fires", TPadButton::South, Set({StateButton(1)})},
        {"right shoulder fires", TPadButton::RightShoulder, Set({StateButton(1)})},
        {"start is P", TPadButton::Start, Set({StateButton(6)})},
        {"back is Esc", TPadButton::Back, Set({StateButton(9)})},
        {"d-pad up", TPadButton::DPadUp, Set({S::StateUp})},
        {"d-pad down", TPadButton::DPadDown, Set({S::StateDown})},
        {"d-pad left", TPadButton::DPadLeft, Set({S::StateLeft})},
        {"d-pad right", TPadButton::DPadRight, Set({S::StateRight})},
        // Nothing else means anything; above all nothing answers Y or N.
        {"east", TPadButton::East, Set({})},
        {"west", TPadButton::West, Set({})},
        {"north", TPadButton::North, Set({})},
        {"guide", TPadButton::Guide, Set({})},
        {"left shoulder", TPadButton::LeftShoulder, Set({})},
        {"left stick press", TPadButton::LeftStick, Set({})},
        {"right stick press", TPadButton::RightStick, Set({})},
    };
    stick.Reading.Kind = TJoystickKind::Gamepad;
    for (const Case& c : cases) {
        stick.Reading.Buttons = 0;
        stick.Reading.SetPadButton(c.Button, true);
        EXPECT_EQ(Describe(Update()), Describe(c.Expected)) << c.Name;
    }
}

TEST_F(InputFixture, GamepadSticksTriggerAndDPadTogether) {
    stick.Reading.Kind = TJoystickKind::Gamepad;
    struct Case {
        const char* Name;
        int32_t StickX, StickY, Trigger;
        std::initializer_list<TPadButton> Buttons;
        TDXInputStates Expected;
    };
    const Case cases[] = {
        {"left stick left", -32768, 0, 0, {}, Set({S::StateLeft})},
        {"left stick down", 0, 32767, 0, {}, Set({S::StateDown})},
        {"stick in the dead zone", 12000, -12000, 0, {}, Set({})},
        {"trigger pulled", 0, 0, 30000, {}, Set({StateButton(1)})},
        {"trigger touched", 0, 0, 8000, {}, Set({})},
        {"d-pad beats the stick", -32768, 0, 0, {TPadButton::DPadRight}, Set({S::StateRight})},
        {"both d-pad sides leave the stick",
         -32768,
         0,
         0,
         {TPadButton::DPadLeft, TPadButton::DPadRight},
         Set({S::StateLeft})},
        {"fire while steering",
         32767,
         -32768,
         0,
         {TPadButton::South},
         Set({S::StateRight, S::StateUp, StateButton(1)})},
    };
    for (const Case& c : cases) {
        stick.Reading.X.Position = c.StickX;
        stick.Reading.Y.Position = c.StickY;
        stick.Reading.RightTrigger.Position = c.Trigger;
        stick.Reading.Buttons = 0;
        for (TPadButton b : c.Buttons)
            stick.Reading.SetPadButton(b, true);
        EXPECT_EQ(Describe(Update()), Describe(c.Expected)) << c.Name;
    }
}

TEST_F(InputFixture, UnpluggedDeviceGivesNoStates) {
    stick.Reading.Kind = TJoystickKind::Gamepad;
    stick.Reading.X.Position = -32768;
    stick.Reading.SetPadButton(TPadButton::South, true);
    EXPECT_EQ(Update(), Set({S::StateLeft, StateButton(1)}));

    stick.Reading.Kind = TJoystickKind::None; // the stale values must not count
    EXPECT_EQ(Update(), Set({}));
    EXPECT_EQ(input.Joystick.X, 0);
    EXPECT_FALSE(input.Joystick.Buttons[0]);

    input.DevicesChanged();
    EXPECT_EQ(stick.RescanCount, 1);
}

} // namespace
} // namespace vantorel

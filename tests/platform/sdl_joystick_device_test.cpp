#include "platform/sdl_event_source.hpp"
#include "platform/sdl_joystick_device.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace vantorel {
namespace {

/// SDL's virtual joysticks stand in for real devices: they are plugged in and
/// out, and their buttons and axes set, as a player's would be.
class SdlJoystickFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // With no window of the game's own SDL may count the tests as being in the
        // background and freeze the readings; these tests read regardless.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    }
    void TearDown() override {
        for (auto it = handles_.rbegin(); it != handles_.rend(); ++it)
            SDL_JoystickClose(*it);
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i)
            if (SDL_JoystickIsVirtual(i) == SDL_TRUE)
                SDL_JoystickDetachVirtual(i);
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    /// Plugs in a virtual device; returns a handle for setting its controls.
    SDL_Joystick* Plug(bool gamepad) {
        SDL_VirtualJoystickDesc d{};
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        if (gamepad) {
            d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
            d.naxes = SDL_CONTROLLER_AXIS_MAX;
            d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
            d.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1u;
            d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1u;
            d.name = "Test pad";
        } else {
            d.type = SDL_JOYSTICK_TYPE_UNKNOWN;
            d.naxes = 2;
            d.nbuttons = 12;
            d.name = "Test stick";
        }
        const int index = SDL_JoystickAttachVirtualEx(&d);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* j = SDL_JoystickOpen(index);
        EXPECT_NE(j, nullptr) << SDL_GetError();
        handles_.push_back(j);
        return j;
    }

    void Unplug(SDL_Joystick* j) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(j);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
        SDL_JoystickUpdate();
    }

private:
    std::vector<SDL_Joystick*> handles_;
};

TEST_F(SdlJoystickFixture, GamepadIsReadByThePlacesOfItsControls) {
    SDL_Joystick* pad = Plug(true);
    TSdlJoystickDevice device;
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, 1);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    SDL_JoystickUpdate();

    const TJoystickReading r = device.Read();
    EXPECT_EQ(r.Kind, TJoystickKind::Gamepad);
    EXPECT_TRUE(r.PadButton(TPadButton::Start));
    EXPECT_TRUE(r.PadButton(TPadButton::South));
    EXPECT_FALSE(r.PadButton(TPadButton::Back));
    EXPECT_EQ(r.X.Position, -32768);
    EXPECT_EQ(r.RightTrigger.Position, 32767);
    EXPECT_EQ(r.RightTrigger.Minimum, 0);
}

TEST_F(SdlJoystickFixture, PlainJoystickGivesNumberedButtonsAndAxes) {
    SDL_Joystick* stick = Plug(false);
    TSdlJoystickDevice device;
    SDL_JoystickSetVirtualButton(stick, 5, 1);
    SDL_JoystickSetVirtualAxis(stick, 1, 32767);
    SDL_JoystickUpdate();

    const TJoystickReading r = device.Read();
    EXPECT_EQ(r.Kind, TJoystickKind::Joystick);
    EXPECT_EQ(r.Buttons, 1u << 5);
    EXPECT_EQ(r.Y.Position, 32767);
    EXPECT_EQ(r.X.Position, 0);
}

TEST_F(SdlJoystickFixture, DevicesComeAndGoWhileTheGameRuns) {
    TSdlJoystickDevice device;
    EXPECT_EQ(device.Read().Kind, TJoystickKind::None);

    // Plugged in after start: found.
    SDL_Joystick* pad = Plug(true);
    device.Rescan();
    EXPECT_EQ(device.Read().Kind, TJoystickKind::Gamepad);

    // A second device does not take over from the one in use.
    SDL_Joystick* stick = Plug(false);
    device.Rescan();
    EXPECT_EQ(device.Read().Kind, TJoystickKind::Gamepad);

    // Unplugged: noticed on the next read, even before any rescan, and the
    // device still plugged in is used instead.
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickUpdate();
    Unplug(pad);
    const TJoystickReading afterUnplug = device.Read();
    EXPECT_EQ(afterUnplug.Kind, TJoystickKind::Joystick);
    EXPECT_EQ(afterUnplug.Buttons, 0u);

    Unplug(stick);
    EXPECT_EQ(device.Read().Kind, TJoystickKind::None);
    EXPECT_EQ(device.OpenKind(), TJoystickKind::None);
}

TEST(PlatformEvents, DevicePlugEventsReachTheGame) {
    struct Case {
        Uint32 Type;
        TEventKind Kind;
    };
    for (const Case& c : {Case{SDL_JOYDEVICEADDED, TEventKind::DeviceAdded},
                          Case{SDL_JOYDEVICEREMOVED, TEventKind::DeviceRemoved}}) {
        SDL_Event e{};
        e.type = c.Type;
        std::vector<TPlatformEvent> out;
        TranslateSdlEvent(e, out);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].Kind, c.Kind);
    }
    // A gamepad also arrives as a joystick device: its controller events would
    // count the same plug twice.
    SDL_Event pad{};
    pad.type = SDL_CONTROLLERDEVICEADDED;
    std::vector<TPlatformEvent> out;
    TranslateSdlEvent(pad, out);
    EXPECT_TRUE(out.empty());
}

} // namespace
} // namespace vantorel

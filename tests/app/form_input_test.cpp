#include "app/form_input.hpp"
#include "menus/menu_items.hpp"

#include "app/input_snapshot_builder.hpp"
#include "engine/dx_input.hpp"
#include "state/game_navigation.hpp"
#include "state/game_state.hpp"
#include "state/modal_window.hpp"
#include "state/screen.hpp"
#include "state/sound_sink.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace vantorel {
namespace {

/// Records what the input asks of the main window, in order.
class TRecordingShell final : public IGameNavigation, public ISoundSink {
public:
    std::vector<std::string> Calls;

    void OpenWindow(TWindowKind kind) override {
        Calls.push_back("OpenWindow " + std::to_string(static_cast<int>(kind)));
    }
    void CloseWindow() override { Calls.push_back("CloseWindow"); }
    void ActivateItem() override { Calls.push_back("ActivateItem"); }
    void ActivateItemNo(int32_t item) override {
        Calls.push_back("ActivateItemNo " + std::to_string(item));
    }
    void NewGame() override { Calls.push_back("NewGame"); }
    void EndGame() override { Calls.push_back("EndGame"); }
    void BuildMainMenu(int32_t, int32_t, int32_t) override { Calls.push_back("BuildMainMenu"); }
    void BuildHighScores() override { Calls.push_back("BuildHighScores"); }
    void PlaySound(const std::string& name) override { Calls.push_back("PlaySound " + name); }
    void ExitGame() override { Calls.push_back("ExitGame"); }
    bool HasReplay(const std::string&, int32_t) const override { return false; }
    bool WatchReplay(const std::string&, int32_t) override { return false; }
};

/// A screen or window that writes down the characters it is given.
class TTypingScreen final : public IScreen {
public:
    explicit TTypingScreen(std::vector<std::string>& log) : log_(log) {}
    TScreenCode Code() const override { return TScreenCode::Options; }
    void Tick(int32_t) override {}
    void ActivateItem(int32_t) override {}
    void CharacterTyped(uint8_t c) override { log_.push_back("screen " + std::to_string(c)); }

private:
    std::vector<std::string>& log_;
};

class TTypingWindow final : public IModalWindow {
public:
    explicit TTypingWindow(std::vector<std::string>& log) : log_(log) {}
    TWindowKind Kind() const override { return TWindowKind::NameEntry; }
    void Open() override {}
    void Tick(int32_t) override {}
    void ActivateItem(int32_t) override {}
    void CharacterTyped(uint8_t c) override { log_.push_back("window " + std::to_string(c)); }
    void Close() override {}

private:
    std::vector<std::string>& log_;
};

TPlatformEvent Event(TEventKind kind) {
    TPlatformEvent e;
    e.Kind = kind;
    return e;
}

TPlatformEvent KeyEvent(TEventKind kind, TKey key, TShiftState shift = {}, bool repeat = false) {
    TPlatformEvent e = Event(kind);
    e.Key = key;
    e.Shift = shift;
    e.Repeat = repeat;
    return e;
}

TPlatformEvent CharEvent(uint8_t c, TShiftState shift = {}) {
    TPlatformEvent e = Event(TEventKind::Char);
    e.Char = c;
    e.Shift = shift;
    return e;
}

TPlatformEvent MouseEvent(TEventKind kind, TMouseButton button = TMouseButton::Left,
                          int32_t clicks = 1) {
    TPlatformEvent e = Event(kind);
    e.Button = button;
    e.Clicks = clicks;
    return e;
}

TPlatformEvent Move(int32_t x, int32_t y, int32_t dx = 0, int32_t dy = 0) {
    TPlatformEvent e = Event(TEventKind::MouseMove);
    e.X = x;
    e.Y = y;
    e.DX = dx;
    e.DY = dy;
    return e;
}

/// The input of a main window with a scripted keyboard and joystick: the
/// snapshot builder and the frame's input step.
class FormInputFixture : public ::testing::Test {
protected:
    FormInputFixture() {
        input.Keyboard.SetDevice(&keys);
        input.Joystick.SetDevice(&stick);
    }

    void Send(const TPlatformEvent& e) { builder.HandleEvent(e); }
    /// The input step of one frame: the snapshot built, then played.
    const TInputSnapshot& Step() {
        snap = builder.Build();
        form.Play(snap);
        return snap;
    }
    /// An event, then the frame that reads it.
    const TInputSnapshot& SendAndStep(const TPlatformEvent& e) {
        Send(e);
        return Step();
    }

    TGameState state;
    TDXInput input;
    TRecordingShell shell;
    TScriptedKeyboardState keys;
    TScriptedJoystickDevice stick;
    TInputSnapshotBuilder builder{state.Cursor, input};
    TMenuItems items;
    TFormInput form{state.Cursor, items, shell, shell};
    TInputSnapshot snap;
};

// --- Held flags and fire ---

TEST_F(FormInputFixture, HeldFlagsFollowTheirEvents) {
    struct Case {
        const char* Name;
        TPlatformEvent Event;
        bool Space, Ctrl, Mouse;
    };
    // Each case runs after the ones before it.
    const Case cases[] = {
        {"space down", KeyEvent(TEventKind::KeyDown, TKey::Space), true, false, false},
        {"ctrl down", KeyEvent(TEventKind::KeyDown, TKey::Ctrl), true, true, false},
        {"right button down", MouseEvent(TEventKind::MouseDown, TMouseButton::Right), true, true,
         true},
        {"other key up", KeyEvent(TEventKind::KeyUp, TKey::A), true, true, true},
        {"space up", KeyEvent(TEventKind::KeyUp, TKey::Space), false, true, true},
        {"right button up", MouseEvent(TEventKind::MouseUp, TMouseButton::Right), false, true,
         false},
        {"ctrl up", KeyEvent(TEventKind::KeyUp, TKey::Ctrl), false, false, false},
        {"space down again", KeyEvent(TEventKind::KeyDown, TKey::Space), true, false, false},
        {"left button down", MouseEvent(TEventKind::MouseDown), true, false, true},
        // A key or button released in another window sends the game no release.
        {"focus lost", Event(TEventKind::FocusLost), false, false, false},
    };
    for (const Case& c : cases) {
        const TInputSnapshot& in = SendAndStep(c.Event);
        EXPECT_EQ(in.HeldBy(TFireControl::Space), c.Space) << c.Name;
        EXPECT_EQ(in.HeldBy(TFireControl::Ctrl), c.Ctrl) << c.Name;
        EXPECT_EQ(in.HeldBy(TFireControl::Mouse), c.Mouse) << c.Name;
        EXPECT_EQ(in.FireHeld(), c.Space || c.Ctrl || c.Mouse) << c.Name;
    }
}

TEST_F(FormInputFixture, JoystickFireButtonHoldsFire) {
    struct Case {
        const char* Name;
        TJoystickKind Kind;
        uint32_t Buttons;
        bool Fire;
    };
    const Case cases[] = {
        {"joystick button 0", TJoystickKind::Joystick, 1u, true},
        {"joystick button 1", TJoystickKind::Joystick, 2u, false},
        {"pad south", TJoystickKind::Gamepad, 1u << static_cast<int>(TPadButton::South), true},
        {"pad right shoulder", TJoystickKind::Gamepad,
         1u << static_cast<int>(TPadButton::RightShoulder), true},
        {"pad east", TJoystickKind::Gamepad, 1u << static_cast<int>(TPadButton::East), false},
        {"unplugged", TJoystickKind::None, 1u, false},
    };
    for (const Case& c : cases) {
        stick.Reading.Kind = c.Kind;
        stick.Reading.Buttons = c.Buttons;
        const TInputSnapshot& in = Step();
        EXPECT_EQ(in.HeldBy(TFireControl::Pad), c.Fire) << c.Name;
        EXPECT_EQ(in.PadHolds(TPadControl::Fire), c.Fire) << c.Name;
        EXPECT_EQ(in.FireHeld(), c.Fire) << c.Name;
    }
}

// --- Pressed-this-frame flags ---

TEST_F(FormInputFixture, EachPressIsSeenInOneFrameOnly) {
    struct Case {
        TKey Key;
        TInputKey Edge;
    };
    const Case cases[] = {
        {TKey::Up, TInputKey::Up},     {TKey::Down, TInputKey::Down},
        {TKey::Left, TInputKey::Left}, {TKey::Right, TInputKey::Right},
        {TKey::P, TInputKey::P},       {TKey::Y, TInputKey::Y},
        {TKey::N, TInputKey::N},       {TKey::Escape, TInputKey::Esc},
    };
    for (const Case& c : cases) {
        const int code = static_cast<int>(c.Key);
        keys.Press(c.Key);
        EXPECT_TRUE(Step().WasPressed(c.Edge)) << code;
        // Held on: the exit question opens once, not every frame.
        EXPECT_FALSE(Step().WasPressed(c.Edge)) << code;
        EXPECT_FALSE(Step().WasPressed(c.Edge)) << code;
        keys.Release(c.Key);
        EXPECT_FALSE(Step().WasPressed(c.Edge)) << code;
        keys.Press(c.Key);
        EXPECT_TRUE(Step().WasPressed(c.Edge)) << code;
        keys.Release(c.Key);
        Step();
    }
    // A key with no flag of its own sets none.
    keys.Press(TKey::Z);
    EXPECT_EQ(Step().Pressed, 0);
}

// A tap shorter than a frame goes down and up between two reads of the keyboard;
// its key-down event still makes it a press, once.
TEST_F(FormInputFixture, ATapBetweenTwoFramesIsStillAPress) {
    for (const TKey key : {TKey::Down, TKey::Escape, TKey::Y}) {
        TPlatformEvent down = Event(TEventKind::KeyDown);
        down.Key = key;
        Send(down);
        TPlatformEvent up = Event(TEventKind::KeyUp);
        up.Key = key;
        Send(up);
        const TInputKey k = key == TKey::Down     ? TInputKey::Down
                            : key == TKey::Escape ? TInputKey::Esc
                                                  : TInputKey::Y;
        EXPECT_TRUE(Step().WasPressed(k)) << static_cast<int>(key);
        EXPECT_EQ(Step().Pressed, 0);
    }
    // Held across the read, the key presses once, not once for the event and again.
    keys.Press(TKey::Up);
    TPlatformEvent down = Event(TEventKind::KeyDown);
    down.Key = TKey::Up;
    Send(down);
    EXPECT_TRUE(Step().WasPressed(TInputKey::Up));
    EXPECT_FALSE(Step().WasPressed(TInputKey::Up));
}

TEST_F(FormInputFixture, PadStartAndBackActAsPAndEsc) {
    stick.Reading.Kind = TJoystickKind::Gamepad;
    stick.Reading.SetPadButton(TPadButton::Start, true);
    Step();
    EXPECT_TRUE(snap.WasPressed(TInputKey::P));
    EXPECT_FALSE(snap.WasPressed(TInputKey::Esc));
    EXPECT_TRUE(snap.PadHolds(TPadControl::Pause) && snap.PadWasPressed(TPadControl::Pause));
    // Start and P held together are one press.
    keys.Press(TKey::P);
    Step();
    EXPECT_FALSE(snap.WasPressed(TInputKey::P));
    EXPECT_TRUE(snap.PadHolds(TPadControl::Pause));
    EXPECT_FALSE(snap.PadWasPressed(TPadControl::Pause));

    stick.Reading.Buttons = 0;
    stick.Reading.SetPadButton(TPadButton::Back, true);
    Step();
    EXPECT_TRUE(snap.WasPressed(TInputKey::Esc));
    EXPECT_TRUE(snap.PadWasPressed(TPadControl::Back));
    // No pad control answers a question.
    for (int b = 0; b <= static_cast<int>(TPadButton::DPadRight); ++b) {
        stick.Reading.Buttons = 1u << b;
        Step();
        EXPECT_FALSE(snap.WasPressed(TInputKey::Y) || snap.WasPressed(TInputKey::N))
            << "pad button " << b;
    }
}

// The close button's request is input like a key's: it comes with the next
// snapshot, once, so that a recorded game asks its question in the same frame.
TEST_F(FormInputFixture, TheCloseRequestComesWithTheNextSnapshotOnce) {
    Send(Event(TEventKind::CloseRequest));
    Send(Event(TEventKind::CloseRequest));
    EXPECT_TRUE(Step().WasPressed(TInputKey::Close));
    EXPECT_FALSE(Step().WasPressed(TInputKey::Close));
}

TEST_F(FormInputFixture, PluggingADeviceRescans) {
    Send(Event(TEventKind::DeviceAdded));
    Send(Event(TEventKind::DeviceRemoved));
    EXPECT_EQ(stick.RescanCount, 2);
}

// --- Keys that act at once ---

TEST_F(FormInputFixture, AltEnterSwitchesFullScreen) {
    struct Case {
        const char* Name;
        TScreenCode Screen;
        bool Repeat;
        std::vector<std::string> Calls; // by the frame that reads it
        int Switches;                   // on the event path
    };
    const Case cases[] = {
        {"on a menu", TScreenCode::MainMenu, false, {}, 1},
        {"in a game: pauses", TScreenCode::Game, false, {"OpenWindow 5"}, 1},
        {"key repeat does nothing", TScreenCode::MainMenu, true, {}, 0},
        {"key repeat in a game does nothing", TScreenCode::Game, true, {}, 0},
    };
    for (const Case& c : cases) {
        shell.Calls.clear();
        int switches = 0;
        builder.SwitchFullScreen = [&] { ++switches; };
        state.Cursor.ScreenCode = c.Screen;
        const TShiftState alt{false, false, true};
        Send(KeyEvent(TEventKind::KeyDown, TKey::Enter, alt, c.Repeat));
        // The Enter character that comes with it activates nothing.
        Send(CharEvent(13, alt));
        EXPECT_EQ(switches, c.Switches) << c.Name;
        EXPECT_TRUE(shell.Calls.empty()) << c.Name;
        EXPECT_EQ(Step().WasPressed(TInputKey::FullScreen), c.Switches == 1) << c.Name;
        EXPECT_EQ(shell.Calls, c.Calls) << c.Name;
        Send(KeyEvent(TEventKind::KeyUp, TKey::Enter));
    }
    // Plain Enter only activates.
    shell.Calls.clear();
    Send(KeyEvent(TEventKind::KeyDown, TKey::Enter));
    Send(CharEvent(13));
    Step();
    EXPECT_EQ(shell.Calls, std::vector<std::string>{"ActivateItem"});
}

TEST_F(FormInputFixture, TypedCharactersGoToTheScreenThenTheWindowThenEnterActivates) {
    std::vector<std::string> log;
    TTypingScreen screen(log);
    TTypingWindow window(log);
    bool windowOpen = false;
    form.CurrentScreen = [&]() -> IScreen* { return &screen; };
    form.CurrentWindow = [&]() -> IModalWindow* { return windowOpen ? &window : nullptr; };

    Send(CharEvent('a'));
    EXPECT_TRUE(log.empty()) << "typed characters wait for the frame";
    Step();
    EXPECT_EQ(log, std::vector<std::string>{"screen 97"});
    EXPECT_TRUE(shell.Calls.empty());

    log.clear();
    windowOpen = true;
    Send(CharEvent(8));
    Send(CharEvent(13));
    EXPECT_EQ(Step().Typed, "\b\r");
    EXPECT_EQ(log, (std::vector<std::string>{"screen 8", "window 8", "screen 13", "window 13"}));
    EXPECT_EQ(shell.Calls, std::vector<std::string>{"ActivateItem"});
}

TEST_F(FormInputFixture, EnterWithNoScreenStillActivates) {
    Send(CharEvent(13));
    Send(CharEvent(27));
    Step();
    EXPECT_EQ(shell.Calls, std::vector<std::string>{"ActivateItem"});
}

// --- The mouse ---

/// Items 1 to 3 as 100 x 20 boxes at y = 100, 200, 300; item 12 far away.
class MouseFixture : public FormInputFixture {
protected:
    MouseFixture() {
        for (int32_t k = 1; k <= 12; ++k)
            items[static_cast<size_t>(k)] = reinterpret_cast<TMenuButton*>(&cells_[k]);
        form.ItemContains = [this](const TMenuButton& item, int32_t x, int32_t y) {
            const auto k = static_cast<int32_t>(reinterpret_cast<const char*>(&item) - cells_);
            const int32_t top = 100 * k;
            return x >= 0 && x <= 100 && y >= top && y <= top + 20;
        };
        state.Cursor.FirstItem = 1;
        state.Cursor.LastItem = 3;
        state.Cursor.ItemIndex = 1;
    }

private:
    char cells_[13] = {};
};

TEST_F(MouseFixture, HoverHighlightsTheItemUnderThePointer) {
    struct Case {
        const char* Name;
        int32_t X, Y;
        int32_t Item;
        bool Sound;
    };
    // Each case runs after the ones before it.
    const Case cases[] = {
        {"onto item 2", 50, 210, 2, true},
        {"within item 2", 60, 215, 2, false},
        {"bottom-right corner of item 3 counts", 100, 320, 3, true},
        {"off every item keeps the highlight", 400, 500, 3, false},
        {"just past item 1's right edge", 101, 110, 3, false},
        {"top-left corner of item 1", 0, 100, 1, true},
        {"item 12 is outside the range", 0, 1200, 1, false},
    };
    for (const Case& c : cases) {
        shell.Calls.clear();
        const TInputSnapshot& in = SendAndStep(Move(c.X, c.Y));
        EXPECT_EQ(in.PointerX, c.X) << c.Name;
        EXPECT_EQ(in.PointerY, c.Y) << c.Name;
        EXPECT_EQ(state.Cursor.ItemIndex, c.Item) << c.Name;
        EXPECT_EQ(shell.Calls, c.Sound ? std::vector<std::string>{"PlaySound Button"}
                                       : std::vector<std::string>{})
            << c.Name;
    }
}

TEST_F(MouseFixture, HoverIsSilentDuringTheMenuIntroAndSkipsMissingItems) {
    bool intro = true;
    form.HoverSilent = [&] { return intro; };
    SendAndStep(Move(50, 210));
    EXPECT_EQ(state.Cursor.ItemIndex, 2);
    EXPECT_TRUE(shell.Calls.empty());

    intro = false;
    items[3] = nullptr;
    SendAndStep(Move(50, 310));
    EXPECT_EQ(state.Cursor.ItemIndex, 2);
    EXPECT_TRUE(shell.Calls.empty());
}

// Events of one frame are played in a fixed order: the pointer first, so that a
// move and a click in the same frame perform the item the click was on.
TEST_F(MouseFixture, AFrameLightsThePointersItemBeforeItsCharactersAndClicks) {
    Send(Move(50, 210));
    Send(CharEvent(13));
    Send(MouseEvent(TEventKind::MouseDown));
    Send(MouseEvent(TEventKind::MouseUp));
    EXPECT_TRUE(shell.Calls.empty());
    Step();
    EXPECT_EQ(state.Cursor.ItemIndex, 2);
    EXPECT_EQ(shell.Calls,
              (std::vector<std::string>{"PlaySound Button", "ActivateItem", "ActivateItem"}));
    EXPECT_EQ(snap.Clicks, 1u);
}

TEST_F(FormInputFixture, ClicksActivateTheHighlightedItemWherever) {
    struct ClickStep {
        TPlatformEvent Event;
        int Activations; // total so far
    };
    const ClickStep steps[] = {
        // A left click: press, then release.
        {MouseEvent(TEventKind::MouseDown), 0},
        {MouseEvent(TEventKind::MouseUp), 1},
        // The second press of a double click activates again; its release does not.
        {MouseEvent(TEventKind::MouseDown, TMouseButton::Left, 2), 2},
        {MouseEvent(TEventKind::MouseUp), 2},
        // Other buttons only hold fire.
        {MouseEvent(TEventKind::MouseDown, TMouseButton::Right), 2},
        {MouseEvent(TEventKind::MouseUp, TMouseButton::Right), 2},
        // A press whose window lost the focus before the release is no click.
        {MouseEvent(TEventKind::MouseDown), 2},
        {Event(TEventKind::FocusLost), 2},
        {MouseEvent(TEventKind::MouseUp), 2},
    };
    int i = 0;
    for (const ClickStep& s : steps) {
        SendAndStep(s.Event);
        EXPECT_EQ(static_cast<int>(shell.Calls.size()), s.Activations) << "step " << i++;
    }
    for (const std::string& call : shell.Calls)
        EXPECT_EQ(call, "ActivateItem");
}

TEST_F(FormInputFixture, MouseMotionSteersOnlyARunningGame) {
    state.Cursor.ScreenCode = TScreenCode::Game;
    Send(Move(10, 10, 5, -3));
    Send(Move(20, 5, 7, 1));
    Step();
    EXPECT_EQ(snap.MouseDeltaX, 12);
    EXPECT_EQ(snap.MouseDeltaY, -2);
    // Each frame brings only the motion since the last.
    Step();
    EXPECT_EQ(snap.MouseDeltaX, 0);
    EXPECT_EQ(snap.MouseDeltaY, 0);
    EXPECT_FALSE(snap.PointerMoved);
    EXPECT_EQ(snap.PointerX, 20) << "the pointer stays where it went";

    // Paused: motion is dropped, so the ship does not jump when the game goes on.
    state.Cursor.WindowKind = TWindowKind::Pause;
    Send(Move(30, 5, 40, 40));
    Step();
    EXPECT_EQ(snap.MouseDeltaX, 0);
    EXPECT_EQ(snap.MouseDeltaY, 0);
    state.Cursor.WindowKind = TWindowKind::None;
    EXPECT_EQ(Step().MouseDeltaX, 0) << "motion over the pause window is dropped, not kept";

    // Over a menu likewise.
    state.Cursor.WindowKind = TWindowKind::None;
    state.Cursor.ScreenCode = TScreenCode::MainMenu;
    Send(Move(40, 5, 9, 9));
    EXPECT_EQ(Step().MouseDeltaX, 0);
}

} // namespace
} // namespace vantorel

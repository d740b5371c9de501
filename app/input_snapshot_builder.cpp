#include "app/input_snapshot_builder.hpp"

#include "app/key_map.hpp"
#include "engine/dx_input.hpp"
#include "state/menu_cursor.hpp"

#include <optional>

namespace vantorel {

namespace {

constexpr uint8_t kEnter = 13;

constexpr TInputKey kEdgeKeys[] = {TInputKey::Up,    TInputKey::Down, TInputKey::Left,
                                   TInputKey::Right, TInputKey::P,    TInputKey::Y,
                                   TInputKey::N,     TInputKey::Esc};

constexpr TPadControl kPadControls[] = {TPadControl::Up,    TPadControl::Down, TPadControl::Left,
                                        TPadControl::Right, TPadControl::Fire, TPadControl::Pause,
                                        TPadControl::Back};

constexpr uint16_t Bit(TInputKey k) {
    return static_cast<uint16_t>(1u << static_cast<uint32_t>(k));
}

} // namespace

TInputSnapshotBuilder::TInputSnapshotBuilder(const TMenuCursor& cursor, TDXInput& input)
    : cursor_(cursor), input_(input) {
    input_.Keyboard.Assigns = TKeyMap::KeyboardAssigns();
    input_.Joystick.Assigns = TKeyMap::PadAssigns();
}

void TInputSnapshotBuilder::HandleEvent(const TPlatformEvent& e) {
    switch (e.Kind) {
    case TEventKind::KeyDown:
        KeyDown(e.Key, e.Shift, e.Repeat);
        break;
    case TEventKind::KeyUp:
        KeyUp(e.Key);
        break;
    case TEventKind::Char:
        // Alt+Enter is the full-screen switch, not an activation.
        if (!(e.Shift.Alt && e.Char == kEnter))
            Typed(e.Char);
        break;
    case TEventKind::MouseMove:
        pointerX_ = e.X;
        pointerY_ = e.Y;
        pointerMoved_ = true;
        deltaX_ += e.DX;
        deltaY_ += e.DY;
        break;
    case TEventKind::MouseDown:
        MouseDown(e.Button, e.Clicks);
        break;
    case TEventKind::MouseUp:
        MouseUp(e.Button);
        break;
    case TEventKind::FocusLost:
        FocusLost();
        break;
    case TEventKind::CloseRequest:
        taps_ |= Bit(TInputKey::Close);
        break;
    case TEventKind::DeviceAdded:
    case TEventKind::DeviceRemoved:
        input_.DevicesChanged();
        break;
    default:
        break;
    }
}

TInputSnapshot TInputSnapshotBuilder::Build() {
    input_.Update();
    const TDXInputStates& states = input_.States;
    const TDXInputStates& pad = input_.Joystick.States;
    TInputSnapshot s;

    for (const TInputKey k : kEdgeKeys) {
        const bool down = states.Contains(*TKeyMap::StateOf(k));
        const bool before = (keysBefore_ & Bit(k)) != 0;
        const bool tapped = (taps_ & Bit(k)) != 0;
        s.SetPressed(k, (down && !before) || (tapped && !down));
        keysBefore_ = static_cast<uint16_t>(down ? keysBefore_ | Bit(k) : keysBefore_ & ~Bit(k));
    }
    s.SetPressed(TInputKey::FullScreen, (taps_ & Bit(TInputKey::FullScreen)) != 0);
    s.SetPressed(TInputKey::Close, (taps_ & Bit(TInputKey::Close)) != 0);
    taps_ = 0;

    s.SetSteers(TDirection::Up, states.Contains(TDXInputState::StateUp));
    s.SetSteers(TDirection::Down, states.Contains(TDXInputState::StateDown));
    s.SetSteers(TDirection::Left, states.Contains(TDXInputState::StateLeft));
    s.SetSteers(TDirection::Right, states.Contains(TDXInputState::StateRight));

    for (const TPadControl c : kPadControls)
        s.SetPadHeld(c, pad.Contains(TKeyMap::StateOf(c)));
    s.PadPressed = static_cast<uint8_t>(s.PadHeld & ~padBefore_);
    padBefore_ = s.PadHeld;

    s.SetHeldBy(TFireControl::Space, spaceHeld_);
    s.SetHeldBy(TFireControl::Ctrl, ctrlHeld_);
    s.SetHeldBy(TFireControl::Mouse, mouseHeld_);
    s.SetHeldBy(TFireControl::Pad, states.Contains(TKeyMap::kFireState));

    const bool shipSteers =
        cursor_.ScreenCode == TScreenCode::Game && cursor_.WindowKind == TWindowKind::None;
    if (shipSteers) {
        s.MouseDeltaX = deltaX_;
        s.MouseDeltaY = deltaY_;
    }
    deltaX_ = 0;
    deltaY_ = 0;
    s.PointerX = pointerX_;
    s.PointerY = pointerY_;
    s.PointerMoved = pointerMoved_;
    pointerMoved_ = false;
    s.Clicks = clicks_;
    clicks_ = 0;
    s.Typed.swap(typed_);
    typed_.clear();
    return s;
}

void TInputSnapshotBuilder::KeyDown(TKey key, TShiftState shift, bool repeat) {
    const auto code = static_cast<size_t>(key);
    if (key != TKey::None && code < keysHeld_.size()) {
        lastKeyDown_ = key;
        keysHeld_.set(code);
        if (!repeat)
            keysHeldFromBefore_.reset(code);
    }
    if (!repeat)
        if (const std::optional<TInputKey> k = TKeyMap::PressedKeyOf(key, shift))
            taps_ |= Bit(*k);
    if (const std::optional<TFireControl> fire = TKeyMap::FireControlOf(key))
        (*fire == TFireControl::Space ? spaceHeld_ : ctrlHeld_) = true;
    else if (TKeyMap::IsFullScreenSwitch(key, shift) && !repeat) {
        // A held Alt+Enter switches once, not at the key-repeat rate.
        taps_ |= Bit(TInputKey::FullScreen);
        if (SwitchFullScreen)
            SwitchFullScreen();
    }
}

void TInputSnapshotBuilder::KeyUp(TKey key) {
    const auto code = static_cast<size_t>(key);
    if (code < keysHeld_.size()) {
        keysHeld_.reset(code);
        keysHeldFromBefore_.reset(code);
    }
    if (key == lastKeyDown_)
        lastKeyDown_ = TKey::None;
    if (const std::optional<TFireControl> fire = TKeyMap::FireControlOf(key))
        (*fire == TFireControl::Space ? spaceHeld_ : ctrlHeld_) = false;
}

void TInputSnapshotBuilder::Typed(uint8_t character) {
    if (lastKeyDown_ != TKey::None && keysHeldFromBefore_.test(static_cast<size_t>(lastKeyDown_)))
        return;
    typed_.push_back(static_cast<char>(character));
}

void TInputSnapshotBuilder::MouseDown(TMouseButton button, int32_t clicks) {
    mouseHeld_ = true;
    if (button != TMouseButton::Left)
        return;
    if (clicks == 2) {
        clickArmed_ = false;
        ++clicks_;
    } else {
        clickArmed_ = true;
    }
}

void TInputSnapshotBuilder::MouseUp(TMouseButton button) {
    mouseHeld_ = false;
    if (button == TMouseButton::Left && clickArmed_) {
        clickArmed_ = false;
        ++clicks_;
    }
}

// Keys and buttons released in another window send the game no release.
void TInputSnapshotBuilder::FocusLost() {
    spaceHeld_ = false;
    ctrlHeld_ = false;
    mouseHeld_ = false;
    clickArmed_ = false;
    keysHeld_.reset();
    keysHeldFromBefore_.reset();
    lastKeyDown_ = TKey::None;
}

void TInputSnapshotBuilder::WindowOpened() {
    keysHeldFromBefore_ = keysHeld_;
}

} // namespace vantorel

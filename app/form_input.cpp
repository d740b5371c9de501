#include "app/form_input.hpp"

#include <iterator>

#include "engine/dx_input.hpp"
#include "state/game_shell.hpp"
#include "state/game_state.hpp"
#include "state/modal_window.hpp"
#include "state/screen.hpp"

#include <algorithm>

namespace vantorel {

namespace {

/// tapped: the key went down and up again between two updates, too quickly for
/// the input states to see it held; it still counts as pressed this frame.
void UpdateEdge(TKeyEdge& edge, bool down, bool tapped) {
    edge.Pressed = (down && !edge.Previous) || (tapped && !down);
    edge.Previous = down;
}

/// The key edges in the order of TFormInput's tap bits.
constexpr TKey kEdgeKeys[] = {TKey::Up, TKey::Down, TKey::Left, TKey::Right,
                              TKey::P,  TKey::Y,    TKey::N,    TKey::Escape};

constexpr uint8_t kEnter = 13;
constexpr int32_t kFirstItemSlot = 1;
constexpr int32_t kLastItemSlot = 12;

} // namespace

TFormInput::TFormInput(TGameState& state, TDXInput& input, IGameShell& shell)
    : state_(state), input_(input), shell_(shell) {}

void TFormInput::HandleEvent(const TPlatformEvent& e) {
    switch (e.Kind) {
    case TEventKind::KeyDown:
        FormKeyDown(e.Key, e.Shift, e.Repeat);
        break;
    case TEventKind::KeyUp:
        FormKeyUp(e.Key);
        break;
    case TEventKind::Char:
        // Alt+Enter is the full-screen switch (FormKeyDown), not an activation.
        if (!(e.Shift.Alt && e.Char == kEnter))
            FormKeyPress(e.Char);
        break;
    case TEventKind::MouseMove:
        MouseMove(e.X, e.Y, e.DX, e.DY);
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
    case TEventKind::DeviceAdded:
    case TEventKind::DeviceRemoved:
        input_.DevicesChanged();
        break;
    default:
        break;
    }
}

void TFormInput::UpdateKeyEdges() {
    input_.Update();
    const TDXInputStates& s = input_.States;
    const auto tapped = [this](int i) { return ((taps_ >> i) & 1u) != 0; };
    UpdateEdge(state_.KeyUp, s.Contains(TDXInputState::StateUp), tapped(0));
    UpdateEdge(state_.KeyDown, s.Contains(TDXInputState::StateDown), tapped(1));
    UpdateEdge(state_.KeyLeft, s.Contains(TDXInputState::StateLeft), tapped(2));
    UpdateEdge(state_.KeyRight, s.Contains(TDXInputState::StateRight), tapped(3));
    UpdateEdge(state_.KeyP, s.Contains(StateButton(6)), tapped(4));
    UpdateEdge(state_.KeyY, s.Contains(StateButton(7)), tapped(5));
    UpdateEdge(state_.KeyN, s.Contains(StateButton(8)), tapped(6));
    UpdateEdge(state_.KeyEsc, s.Contains(StateButton(9)), tapped(7));
    taps_ = 0;
    state_.JoystickFireHeld = s.Contains(StateButton(1));

    const bool shipSteers =
        state_.ScreenCode == TScreenCode::Game && state_.WindowKind == TWindowKind::None;
    if (!shipSteers) {
        state_.MouseDeltaX = 0;
        state_.MouseDeltaY = 0;
    }
}

void TFormInput::FormKeyDown(TKey key, TShiftState shift, bool repeat) {
    const auto code = static_cast<size_t>(key);
    if (key != TKey::None && code < keysHeld_.size()) {
        lastKeyDown_ = key;
        keysHeld_.set(code);
        if (!repeat)
            keysHeldFromBefore_.reset(code);
    }
    if (!repeat && !shift.Alt)
        for (uint32_t i = 0; i < std::size(kEdgeKeys); ++i)
            if (kEdgeKeys[i] == key)
                taps_ |= 1u << i;
    if (key == TKey::Ctrl)
        state_.CtrlHeld = true;
    else if (key == TKey::Space)
        state_.SpaceHeld = true;
    else if (key == TKey::Enter && shift.Alt && !repeat) {
        // A held Alt+Enter switches once, not at the key-repeat rate.
        if (InvertFullScreen)
            InvertFullScreen();
        if (state_.ScreenCode == TScreenCode::Game)
            shell_.OpenWindow(TWindowKind::Pause);
        shell_.SetDisplayMode();
    }
}

void TFormInput::FormKeyUp(TKey key) {
    const auto code = static_cast<size_t>(key);
    if (code < keysHeld_.size()) {
        keysHeld_.reset(code);
        keysHeldFromBefore_.reset(code);
    }
    if (key == lastKeyDown_)
        lastKeyDown_ = TKey::None;
    if (key == TKey::Ctrl)
        state_.CtrlHeld = false;
    else if (key == TKey::Space)
        state_.SpaceHeld = false;
}

void TFormInput::FormKeyPress(uint8_t character) {
    if (lastKeyDown_ != TKey::None && keysHeldFromBefore_.test(static_cast<size_t>(lastKeyDown_)))
        return;
    // The screen first: the options screen's add-text editor takes characters
    // even while a window is open over it.
    if (IScreen* screen = CurrentScreen ? CurrentScreen() : nullptr)
        screen->CharacterTyped(character);
    if (IModalWindow* window = CurrentWindow ? CurrentWindow() : nullptr)
        window->CharacterTyped(character);
    if (character == kEnter)
        shell_.ActivateItem();
}

void TFormInput::MouseMove(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    state_.MouseX = x;
    state_.MouseY = y;
    state_.MouseDeltaX += dx;
    state_.MouseDeltaY += dy;

    const int32_t before = state_.ItemIndex;
    if (ItemContains) {
        const int32_t first = std::max(state_.FirstItem, kFirstItemSlot);
        const int32_t last = std::min(state_.LastItem, kLastItemSlot);
        for (int32_t k = first; k <= last; ++k) {
            const TMenuButton* item = state_.Items[static_cast<size_t>(k)];
            if (item != nullptr && ItemContains(*item, x, y)) {
                state_.ItemIndex = k;
                break;
            }
        }
    }
    if (state_.ItemIndex != before && !(HoverSilent && HoverSilent()))
        shell_.PlaySound("Button");
}

void TFormInput::MouseDown(TMouseButton button, int32_t clicks) {
    state_.MouseHeld = true;
    if (button != TMouseButton::Left)
        return;
    if (clicks == 2) {
        clickArmed_ = false;
        Click();
    } else {
        clickArmed_ = true;
    }
}

void TFormInput::MouseUp(TMouseButton button) {
    state_.MouseHeld = false;
    if (button == TMouseButton::Left && clickArmed_) {
        clickArmed_ = false;
        Click();
    }
}

void TFormInput::Click() {
    shell_.ActivateItem();
}

void TFormInput::FocusLost() {
    state_.SpaceHeld = false;
    state_.CtrlHeld = false;
    state_.MouseHeld = false;
    clickArmed_ = false;
    keysHeld_.reset();
    keysHeldFromBefore_.reset();
    lastKeyDown_ = TKey::None;
}

void TFormInput::WindowOpened() {
    keysHeldFromBefore_ = keysHeld_;
}

} // namespace vantorel

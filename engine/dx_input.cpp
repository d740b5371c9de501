#include "engine/dx_input.hpp"

#include <algorithm>
#include <cstdlib>

namespace vantorel {

namespace {

/// a * b / d rounded to nearest, halves away from zero; d > 0.
int64_t MulDivRound(int64_t a, int64_t b, int64_t d) {
    const int64_t n = a * b;
    return n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d);
}

} // namespace

int32_t ScaleAxis(const TAxisReading& axis, int32_t deadZone, int32_t range) {
    const int64_t lo = std::min(axis.Minimum, axis.Maximum);
    const int64_t hi = std::max(axis.Minimum, axis.Maximum);
    const int64_t half = (hi - lo) / 2;
    const int64_t dz = std::clamp<int64_t>(deadZone, 0, 100) * half / 100;
    if (half - dz == 0)
        return 0;
    const int64_t a = axis.Position - (lo + hi) / 2;
    if (std::llabs(a) <= dz)
        return 0;
    const int64_t v = MulDivRound(a > 0 ? a - dz : a + dz, range, half - dz);
    const int64_t limit = std::llabs(range);
    return static_cast<int32_t>(std::clamp<int64_t>(v, -limit, limit));
}

void TKeyboard::Update(bool foreground) {
    Keys.fill(false);
    States = {};
    if (!Enabled || device_ == nullptr || !foreground)
        return;
    device_->Read(Keys);
    for (int32_t n = 0; n < kInputStateCount; ++n) {
        for (uint32_t code : Assigns[static_cast<size_t>(n)]) {
            if (code >= 1 && code <= 255 && Keys[code]) {
                States.Include(static_cast<TDXInputState>(n));
                break;
            }
        }
    }
}

void TJoystick::DevicesChanged() {
    if (device_ != nullptr)
        device_->Rescan();
}

void TJoystick::MapGamepad(const TJoystickReading& r) {
    auto steer = [](int32_t& value, bool negative, bool positive, int32_t range) {
        if (negative && !positive)
            value = -range;
        else if (positive && !negative)
            value = range;
    };
    steer(X, r.PadButton(TPadButton::DPadLeft), r.PadButton(TPadButton::DPadRight), AxisX.Range);
    steer(Y, r.PadButton(TPadButton::DPadUp), r.PadButton(TPadButton::DPadDown), AxisY.Range);

    const auto press = [this](int32_t button) {
        if (button >= 1 && button <= static_cast<int32_t>(Buttons.size()))
            Buttons[static_cast<size_t>(button - 1)] = true;
    };
    for (size_t b = 0; b < Assigns.Buttons.size(); ++b)
        if (r.PadButton(static_cast<TPadButton>(b)))
            press(Assigns.Buttons[b]);
    const TAxisReading& t = r.RightTrigger;
    if (int64_t{t.Position} - t.Minimum > (int64_t{t.Maximum} - t.Minimum) / 2)
        press(Assigns.RightTrigger);
}

void TJoystick::Update(bool foreground) {
    Kind = TJoystickKind::None;
    X = 0;
    Y = 0;
    Buttons.fill(false);
    States = {};
    if (!Enabled || device_ == nullptr || !foreground)
        return;

    const TJoystickReading r = device_->Read();
    Kind = r.Kind;
    if (r.Kind == TJoystickKind::None)
        return;
    X = ScaleAxis(r.X, AxisX.DeadZone, AxisX.Range);
    Y = ScaleAxis(r.Y, AxisY.DeadZone, AxisY.Range);
    if (r.Kind == TJoystickKind::Gamepad) {
        MapGamepad(r);
    } else {
        for (size_t i = 0; i < Buttons.size(); ++i)
            Buttons[i] = ((r.Buttons >> i) & 1u) != 0;
    }

    for (int32_t i = 0; i < 32; ++i)
        if (Buttons[static_cast<size_t>(i)])
            States.Include(StateButton(i + 1));
    if (X < 0)
        States.Include(TDXInputState::StateLeft);
    if (X > 0)
        States.Include(TDXInputState::StateRight);
    if (Y < 0)
        States.Include(TDXInputState::StateUp);
    if (Y > 0)
        States.Include(TDXInputState::StateDown);
}

void TDXInput::Update() {
    const bool foreground = !ActiveOnly || !IsForeground || IsForeground();
    Joystick.Update(foreground);
    Keyboard.Update(foreground);

    TDXInputStates now;
    for (const TCustomInput* device : {static_cast<const TCustomInput*>(&Joystick),
                                       static_cast<const TCustomInput*>(&Keyboard)}) {
        if (device->BindInputStates)
            for (int32_t n = 0; n < kInputStateCount; ++n)
                if (device->States.Contains(static_cast<TDXInputState>(n)))
                    now.Include(static_cast<TDXInputState>(n));
    }
    for (int32_t n = 0; n < kInputStateCount; ++n) {
        const auto s = static_cast<TDXInputState>(n);
        if (now.Contains(s) && !previous_.Contains(s))
            States.Include(s);
        else if (!now.Contains(s) && previous_.Contains(s))
            States.Exclude(s);
    }
    previous_ = now;
}

} // namespace vantorel

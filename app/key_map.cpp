#include "app/key_map.hpp"

namespace vantorel {

namespace {

struct TNamedKey {
    TInputKey Name;
    TKey Key;
    TDXInputState State;
};

/// The keys the rules ask about, with their keyboard key and input state.
constexpr TNamedKey kNamedKeys[] = {
    {TInputKey::Up, TKey::Up, TDXInputState::StateUp},
    {TInputKey::Down, TKey::Down, TDXInputState::StateDown},
    {TInputKey::Left, TKey::Left, TDXInputState::StateLeft},
    {TInputKey::Right, TKey::Right, TDXInputState::StateRight},
    {TInputKey::P, TKey::P, TKeyMap::kPauseState},
    {TInputKey::Y, TKey::Y, TKeyMap::kYesState},
    {TInputKey::N, TKey::N, TKeyMap::kNoState},
    {TInputKey::Esc, TKey::Escape, TKeyMap::kBackState},
};

void Assign(TKeyAssigns& table, TDXInputState state, TKey key) {
    table[static_cast<size_t>(state)][0] = static_cast<uint32_t>(key);
}

void Assign(TPadAssigns& table, TPadButton button, TDXInputState state) {
    table.Buttons[static_cast<size_t>(button)] = static_cast<int32_t>(state) - 3;
}

} // namespace

TKeyAssigns TKeyMap::KeyboardAssigns() {
    TKeyAssigns t{};
    for (const TNamedKey& k : kNamedKeys)
        Assign(t, k.State, k.Key);
    Assign(t, StateButton(10), TKey::Space);
    Assign(t, StateButton(11), TKey::Enter);
    Assign(t, StateButton(12), TKey::Z);
    Assign(t, StateButton(13), TKey::X);
    Assign(t, StateButton(14), TKey::C);
    Assign(t, StateButton(15), TKey::V);
    Assign(t, StateButton(16), TKey::B);
    for (int32_t digit = 1; digit <= 9; ++digit)
        Assign(t, StateButton(16 + digit), static_cast<TKey>('0' + digit));
    Assign(t, StateButton(26), TKey::D0);
    return t;
}

TPadAssigns TKeyMap::PadAssigns() {
    TPadAssigns t;
    Assign(t, TPadButton::South, kFireState);
    Assign(t, TPadButton::RightShoulder, kFireState);
    t.RightTrigger = static_cast<int32_t>(kFireState) - 3;
    Assign(t, TPadButton::Start, kPauseState);
    Assign(t, TPadButton::Back, kBackState);
    return t;
}

std::optional<TDXInputState> TKeyMap::StateOf(TInputKey key) {
    for (const TNamedKey& k : kNamedKeys)
        if (k.Name == key)
            return k.State;
    return std::nullopt;
}

TDXInputState TKeyMap::StateOf(TPadControl control) {
    switch (control) {
    case TPadControl::Up:
        return TDXInputState::StateUp;
    case TPadControl::Down:
        return TDXInputState::StateDown;
    case TPadControl::Left:
        return TDXInputState::StateLeft;
    case TPadControl::Right:
        return TDXInputState::StateRight;
    case TPadControl::Fire:
        return kFireState;
    case TPadControl::Pause:
        return kPauseState;
    case TPadControl::Back:
        return kBackState;
    }
    return kFireState;
}

std::optional<TInputKey> TKeyMap::PressedKeyOf(TKey key, TShiftState shift) {
    if (shift.Alt)
        return std::nullopt;
    for (const TNamedKey& k : kNamedKeys)
        if (k.Key == key)
            return k.Name;
    return std::nullopt;
}

std::optional<TFireControl> TKeyMap::FireControlOf(TKey key) {
    if (key == TKey::Space)
        return TFireControl::Space;
    if (key == TKey::Ctrl)
        return TFireControl::Ctrl;
    return std::nullopt;
}

} // namespace vantorel

// The input-state device: once a frame it reads the keyboard and the first joystick
// or gamepad and turns them into a small set of abstract states (four directions
// and 32 buttons) that the game reads.
#pragma once

#include <cstdint>

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

/// The device `MDXInput` of the main window. Update runs once a frame.
class TDXInput {
public:
    /// The states after the last Update; they change only on transitions.
    TDXInputStates States;
};

} // namespace vantorel

// The player's input for one frame, as one plain value: what the main window
// (app/) gathered from the window events since the last frame and from the
// keyboard and gamepad, in the game's own terms. Screens, windows and game
// objects read only this; none of them sees a device or an event. The value can
// be written to a few bytes and read back exactly, so that a game can be recorded
// one snapshot per frame and played again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantorel {

/// The four directions, as bits of TInputSnapshot's steering and pad fields.
enum class TDirection : uint8_t { Up, Down, Left, Right };

/// The keys the rules ask "pressed this frame?" about. The arrows and P and Esc
/// include the gamepad's stick and D-pad, Start and Back. FullScreen is the
/// desktop's full-screen switch (Alt+Enter), which pauses a running game. Close
/// is the window's close button (or Alt+F4, or the system menu), which asks
/// before it closes anything.
enum class TInputKey : uint8_t { Up, Down, Left, Right, P, Y, N, Esc, FullScreen, Close };
constexpr uint32_t kInputKeyCount = 10;

/// What holds the fire input down.
enum class TFireControl : uint8_t { Space, Ctrl, Mouse, Pad };
constexpr uint32_t kFireControlCount = 4;

/// The gamepad's controls by what they mean to the game: its stick and D-pad as
/// four directions, and its named buttons (see app/key_map.hpp for which
/// physical control is which).
enum class TPadControl : uint8_t { Up, Down, Left, Right, Fire, Pause, Back };
constexpr uint32_t kPadControlCount = 7;

struct TInputSnapshot {
    /// Directions the ship steers by: arrow keys, stick or D-pad held now.
    uint8_t Steering = 0;
    /// TInputKey bits that went down since the last frame.
    uint16_t Pressed = 0;
    /// TFireControl bits held now.
    uint8_t FireHeldBy = 0;
    /// TPadControl bits held now, and those that went down since the last frame.
    uint8_t PadHeld = 0;
    uint8_t PadPressed = 0;
    /// Pointer motion since the last frame, in 800x600 display pixels. Kept only
    /// while a game runs with no window open: over menus and windows it is 0, so
    /// that motion there never jerks the ship.
    int32_t MouseDeltaX = 0;
    int32_t MouseDeltaY = 0;
    /// The pointer's last place on the 800x600 display, and whether it moved
    /// since the last frame (only motion moves the highlight).
    int32_t PointerX = 0;
    int32_t PointerY = 0;
    bool PointerMoved = false;
    /// Left clicks (and the second presses of double clicks) since the last frame.
    uint32_t Clicks = 0;
    /// Typed characters since the last frame, in order: Windows-1252 bytes, with 8
    /// for Backspace, 13 for Enter and 27 for Esc.
    std::string Typed;

    bool Steers(TDirection d) const { return Bit(Steering, d); }
    bool WasPressed(TInputKey k) const { return Bit(Pressed, k); }
    bool HeldBy(TFireControl c) const { return Bit(FireHeldBy, c); }
    bool PadHolds(TPadControl c) const { return Bit(PadHeld, c); }
    bool PadWasPressed(TPadControl c) const { return Bit(PadPressed, c); }
    /// The player's fire input: Space, Ctrl, a mouse button or the pad's fire.
    bool FireHeld() const { return FireHeldBy != 0; }

    void SetSteers(TDirection d, bool on) { SetBit(Steering, d, on); }
    void SetPressed(TInputKey k, bool on) { SetBit(Pressed, k, on); }
    void SetHeldBy(TFireControl c, bool on) { SetBit(FireHeldBy, c, on); }
    void SetPadHeld(TPadControl c, bool on) { SetBit(PadHeld, c, on); }
    void SetPadPressed(TPadControl c, bool on) { SetBit(PadPressed, c, on); }

    bool operator==(const TInputSnapshot&) const = default;

private:
    template <typename Bits, typename Enum> static bool Bit(Bits bits, Enum e) {
        return ((static_cast<uint32_t>(bits) >> static_cast<uint32_t>(e)) & 1u) != 0;
    }
    template <typename Bits, typename Enum> static void SetBit(Bits& bits, Enum e, bool on) {
        const auto mask = static_cast<Bits>(1u << static_cast<uint32_t>(e));
        bits = static_cast<Bits>(on ? (bits | mask) : (bits & ~mask));
    }
};

/// Bytes that are not a snapshot this game can read: what() says why.
class EInputSnapshotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The encoding's version, its first byte.
constexpr uint8_t kInputSnapshotVersion = 1;

/// Appends the snapshot's bytes to out: the version, a byte naming the parts
/// that follow, then only those parts (bit fields as bytes, counts and deltas as
/// little-endian base-128 varints, deltas and the pointer zigzag-coded, the typed
/// characters as they are). A frame without input takes two bytes.
void WriteInputSnapshot(const TInputSnapshot& snapshot, std::vector<uint8_t>& out);

/// Reads one snapshot from bytes at pos and moves pos past it. Throws
/// EInputSnapshotError, with pos unmoved, on an unknown version, an unknown bit,
/// a number too large or bytes that end early; never reads past the span.
TInputSnapshot ReadInputSnapshot(std::span<const uint8_t> bytes, size_t& pos);

} // namespace vantorel

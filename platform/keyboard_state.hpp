// The keys held down now, for the input states (engine/dx_input.hpp), which read
// them once a frame. Window key events (platform/events.hpp) are the other road.
#pragma once

#include "platform/events.hpp"

#include <array>

namespace vantorel {

/// Key-down flags indexed by the game's key codes (TKey, 0 to 255).
using TKeyDownArray = std::array<bool, 256>;

class IKeyboardState {
public:
    virtual ~IKeyboardState() = default;
    /// Sets down[k] for every key k held now and clears every other entry.
    virtual void Read(TKeyDownArray& down) = 0;
};

/// No keyboard: nothing is ever down.
class TNullKeyboardState final : public IKeyboardState {
public:
    void Read(TKeyDownArray& down) override { down.fill(false); }
};

/// A keyboard whose keys a test (or a scripted game) presses and releases.
class TScriptedKeyboardState final : public IKeyboardState {
public:
    void Press(TKey key) { down_[static_cast<uint16_t>(key) & 0xFFu] = true; }
    void Release(TKey key) { down_[static_cast<uint16_t>(key) & 0xFFu] = false; }
    void ReleaseAll() { down_.fill(false); }
    void Read(TKeyDownArray& down) override { down = down_; }

private:
    TKeyDownArray down_{};
};

} // namespace vantorel

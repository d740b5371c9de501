// The main menu's attract mode: a menu left alone for half a minute shows a game
// by itself, the best the player kept or else the demo shipped with the data,
// until the player does anything.
#pragma once

#include "replay/replay.hpp"

#include <cstdint>
#include <optional>
#include <utility>

namespace vantorel {

class TMForm;
struct TInputSnapshot;

/// True when the snapshot holds anything of the player's: a key or button
/// pressed or held, a click, a typed character or pointer motion.
bool PlayerActed(const TInputSnapshot& input);

class TAttractMode {
public:
    /// Frame time the main menu must sit idle before the demo starts.
    static constexpr int32_t kIdleMs = 30000;

    /// form must outlive this object.
    explicit TAttractMode(TMForm& form) : form_(form) {}

    /// After every frame of the player's own: adds the frame's time (FrameMs)
    /// while the main menu sits idle (its fade-in over, no window open, no
    /// input), starts anew at anything else, and starts the demo, returning to
    /// the menu as it is, once kIdleMs have gone by.
    void AfterFrame();
    int32_t IdleMs() const { return idleMs_; }

    /// A key or a mouse button went down (a window event, between frames): the
    /// player is there, whichever key it was, even one the game has no use for.
    void KeyWentDown() { keyDown_ = true; }
    /// True once for the keys that went down since it was last asked.
    bool TakeKeyDown() { return std::exchange(keyDown_, false); }

    /// What the demo plays: the kept replay of the table's best entry that has
    /// one, else the newest kept replay, else the data's demo; only what this
    /// game's rules and data can play. nullopt when there is nothing.
    std::optional<TReplay> PickReplay() const;

private:
    TMForm& form_;
    int32_t idleMs_ = 0;
    bool keyDown_ = false;
};

} // namespace vantorel

// Window kind 5: "Pause" over a frozen game.
#pragma once

#include "gameplay/caption_window.hpp"

namespace vantorel {

/// Opened by "P" during a game (and by Alt+Enter, which the main window handles).
/// Nothing of the game moves while it is open; "P" or Esc pressed closes it and
/// play resumes where it stopped. It has no time limit and leaves the countdown
/// of the window it interrupted as it was.
class TPauseWindow final : public TCaptionWindow {
public:
    explicit TPauseWindow(TGameContext& ctx) : TCaptionWindow(ctx, 0) {}

    TWindowKind Kind() const override { return TWindowKind::Pause; }

protected:
    std::string Caption() const override { return "Pause"; }
    /// A press of "P" or Esc this frame.
    bool Over() override;
};

} // namespace vantorel

// Window kind 5: "Pause" over a frozen game.
#pragma once

#include "state/modal_window.hpp"

namespace vantorel {

struct TGameContext;

/// Opened by "P" during a game (and by Alt+Enter, which the main window handles).
/// Nothing of the game moves while it is open; "P" or Esc pressed closes it and
/// play resumes where it stopped.
class TPauseWindow final : public IModalWindow {
public:
    explicit TPauseWindow(TGameContext& ctx) : ctx_(ctx) {}

    TWindowKind Kind() const override { return TWindowKind::Pause; }
    void Open() override {}
    /// Draws "Pause"; a press of "P" or Esc this frame asks the shell to close.
    void Tick(int32_t lagCount) override;
    /// The pause has no items.
    void ActivateItem(int32_t item) override { (void)item; }
    void Close() override {}

private:
    TGameContext& ctx_;
};

} // namespace vantorel

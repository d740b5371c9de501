// The game's caption windows: one line of text in the middle of the frozen game,
// no items and no sprites, ending themselves when their end comes: the level
// banner and "Game Over" after a set time, the pause at the player's word.
#pragma once

#include "state/modal_window.hpp"

#include <cstdint>
#include <string>

namespace vantorel {

struct TGameContext;

/// A caption window shows Caption() in style 5 centred on (400, 300) every frame,
/// then asks Over() whether this frame ends it; when it does, Finish() runs.
class TCaptionWindow : public IModalWindow {
public:
    /// Starts the countdown of a timed window; an untimed one leaves
    /// WindowCountdown as it is.
    void Open() override;
    /// Draws the caption, then ends the window when Over() says so.
    void Tick(int32_t lagCount) override;
    /// A caption has no items.
    void ActivateItem(int32_t item) override { (void)item; }
    void Close() override {}

protected:
    /// durationMs > 0 makes a timed window: Open sets WindowCountdown to it, and
    /// each frame counts it down by FrameMs until a step no longer fits, which
    /// ends the window on that frame. 0 makes a window only Over() ends.
    TCaptionWindow(TGameContext& ctx, int32_t durationMs) : ctx_(ctx), durationMs_(durationMs) {}

    /// The text shown, read every frame.
    virtual std::string Caption() const = 0;
    /// True on the frame that ends the window. Timed windows count down here.
    virtual bool Over();
    /// What ending does: asks the shell to close the window.
    virtual void Finish();

    TGameContext& ctx_;

private:
    int32_t durationMs_;
};

} // namespace vantorel

// Window kind 7: "Game Over" after the last life is lost.
#pragma once

#include "state/modal_window.hpp"

namespace vantorel {

struct TGameContext;

/// Opened by the player ship when it finds no life left. Shows for 3000 ms counted
/// in FrameMs steps, then closes and hands over: to the name entry when the score
/// enters the high-score table, otherwise the game ends and the main menu is built
/// afresh with "High Scores" highlighted.
class TGameOverWindow final : public IModalWindow {
public:
    static constexpr int32_t kDurationMs = 3000;

    explicit TGameOverWindow(TGameContext& ctx) : ctx_(ctx) {}

    TWindowKind Kind() const override { return TWindowKind::GameOver; }
    /// Starts the countdown.
    void Open() override;
    /// Draws "Game Over", then counts down; when the time is used up, closes
    /// itself and moves on as described above.
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override { (void)item; }
    void Close() override {}

private:
    TGameContext& ctx_;
};

} // namespace vantorel

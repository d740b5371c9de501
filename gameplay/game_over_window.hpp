// Window kind 7: "Game Over" after the last life is lost.
#pragma once

#include "gameplay/caption_window.hpp"

namespace vantorel {

/// Opened by the player ship when it finds no life left. Shows "Game Over" for
/// 3000 ms counted in FrameMs steps, then closes and hands over: to the name
/// entry when the score enters the high-score table, otherwise the game ends and
/// the main menu is built afresh with "High Scores" highlighted.
class TGameOverWindow final : public TCaptionWindow {
public:
    static constexpr int32_t kDurationMs = 3000;

    explicit TGameOverWindow(TGameContext& ctx) : TCaptionWindow(ctx, kDurationMs) {}

    TWindowKind Kind() const override { return TWindowKind::GameOver; }

protected:
    std::string Caption() const override { return "Game Over"; }
    /// Closes, then moves on as described above.
    void Finish() override;
};

} // namespace vantorel

// Window kind 6: the "Level N" banner that freezes a game for two seconds at the
// start of every level.
#pragma once

#include "state/modal_window.hpp"

namespace vantorel {

struct TGameContext;

/// Opened by StartLevel. Counts WindowCountdown down from 2000 ms by FrameMs a
/// frame and closes itself on the first frame whose step no longer fits (at a
/// steady 16 ms that is the 126th frame).
class TLevelBannerWindow final : public IModalWindow {
public:
    static constexpr int32_t kDurationMs = 2000;

    explicit TLevelBannerWindow(TGameContext& ctx) : ctx_(ctx) {}

    TWindowKind Kind() const override { return TWindowKind::LevelBanner; }
    /// Starts the countdown.
    void Open() override;
    /// Draws "Level " and the level number, then counts down.
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override { (void)item; }
    void Close() override {}

private:
    TGameContext& ctx_;
};

} // namespace vantorel

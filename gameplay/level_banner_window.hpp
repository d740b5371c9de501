// Window kind 6: the "Level N" banner that freezes a game for two seconds at the
// start of every level.
#pragma once

#include "gameplay/caption_window.hpp"

namespace vantorel {

/// Opened by StartLevel. Shows "Level " and the level number; counts
/// WindowCountdown down from 2000 ms by FrameMs a frame and closes itself on the
/// first frame whose step no longer fits (at a steady 16 ms that is the 126th
/// frame).
class TLevelBannerWindow final : public TCaptionWindow {
public:
    static constexpr int32_t kDurationMs = 2000;

    explicit TLevelBannerWindow(TGameContext& ctx) : TCaptionWindow(ctx, kDurationMs) {}

    TWindowKind Kind() const override { return TWindowKind::LevelBanner; }

protected:
    std::string Caption() const override;
};

} // namespace vantorel

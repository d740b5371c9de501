// The backgrounds of a game: the run-long sky turned to scrolling, and three hill
// layers in front of it that scroll at different speeds for the parallax.
#pragma once

namespace vantorel {

struct TGameContext;
struct TGameSprites;

/// Builds and removes the hill layers held in TGameState::Hills.
class TLandscape {
public:
    TLandscape(TGameContext& ctx, TGameSprites& fixed) : ctx_(ctx), fixed_(fixed) {}

    /// The sky (made at start-up) shows "SkyTile" and drifts 1 pixel a frame; the
    /// three hill layers are made as 2 x 1 tile maps: "Hills1" at y 485, Z 5,
    /// -4 px a frame (the ground's speed), "Hills2" at y 495, Z 4, -3, "Hills3" at
    /// y 498, Z 3, -2. Called by NewGame.
    void Setup();
    /// Kills the three layers and forgets them; the sky stays. Called by EndGame.
    void Remove();

private:
    TGameContext& ctx_;
    TGameSprites& fixed_;
};

} // namespace vantorel

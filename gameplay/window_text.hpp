// Texts that the game's windows and the heads-up display draw over the frame's
// sprites, onto the back surface the sprite engine paints on.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantorel {

class TDirectDrawSurfaceCanvas;
struct TGameContext;

/// The back surface's canvas, or null while the display has no surface (then
/// nothing is drawn and the game goes on).
TDirectDrawSurfaceCanvas* FrameCanvas(TGameContext& ctx);

/// Draws text in style (1..12) centred horizontally and vertically on (x, y).
void DrawCentredText(TGameContext& ctx, std::string_view text, int32_t style, int32_t x, int32_t y);

} // namespace vantorel

// Text of the menus and windows drawn onto this frame's back surface: the
// questions, the name entry, the high-score rows and the add text. The styles
// and the drawing itself are engine/text_drawing.hpp's; these take the surface
// from the game's context.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantorel {

struct TGameContext;

// While the display has no surface nothing is drawn and every text measures 0.

/// Selects style, then draws text centred horizontally on x and vertically on y.
void DrawCentredInStyle(TGameContext& ctx, std::string_view text, int32_t style, int32_t x,
                        int32_t y);

/// Selects style, then draws text with its top-left corner at (x, y).
void DrawAtInStyle(TGameContext& ctx, std::string_view text, int32_t style, int32_t x, int32_t y);

/// Width in pixels of text in style (the style stays selected); 0 without a canvas.
int32_t MenuTextWidth(TGameContext& ctx, std::string_view text, int32_t style);

} // namespace vantorel

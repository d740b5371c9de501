// The game's twelve text styles and the drawing and measuring of texts in them.
// Every text of the game (windows, banners, the high-score table, the name
// entry, the add text, the heads-up display) is drawn this way onto the back
// surface's canvas, after the sprites of the frame and before the frame loop
// releases the canvas and flips. The menus and the game screen both draw with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantorel {

class TDirectDrawSurface;
class TDirectDrawSurfaceCanvas;

/// One row of the style table: face name as asked of the desktop, size in
/// desktop points, boldness, colour 0x00RRGGBB and the narrowest word space as a
/// share of the size (0: the face's own space, however narrow). A space of the
/// face narrower than that is drawn and measured as several, so that words never
/// run together.
struct TTextStyle {
    std::string_view Face;
    int32_t Size;
    bool Bold;
    uint32_t Color;
    double WordSpace = 0.0;
};

inline constexpr int32_t kTextStyleCount = 12;

/// The style numbered style (1..12); null for any other number.
const TTextStyle* FindTextStyle(int32_t style);

/// Makes style (1..12) the canvas's font and clears its brush; the style stays
/// in force for all later drawing and measuring on that canvas. A number
/// outside 1..12 keeps the font and only clears the brush.
void SelectTextStyle(TDirectDrawSurfaceCanvas& canvas, int32_t style);

/// text as the canvas's current font lays it out and draws it: each space made
/// as many of the face's spaces as its style's word space takes (the text itself
/// where one is wide enough).
std::string LaidOutText(TDirectDrawSurfaceCanvas& canvas, std::string_view text);

/// Width and height in pixels of text in the canvas's current font (with its
/// style's word space); an empty text is 0 wide.
int32_t TextWidth(TDirectDrawSurfaceCanvas& canvas, std::string_view text);
int32_t TextHeight(TDirectDrawSurfaceCanvas& canvas, std::string_view text);

/// Selects style, then measures text in it (the style stays selected).
int32_t WidthInStyle(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t style);

/// Start of a text of length extent centred on anchor: anchor - extent / 2 in
/// real numbers, truncated toward zero (anchor 400, extent 101 -> 349).
int32_t CentredStart(int32_t anchor, int32_t extent);

/// Draws text in the current style with its top-left corner at (x, y), or
/// centred horizontally on x and/or vertically on y (see CentredStart).
void DrawText(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t x, int32_t y,
              bool centreHorizontally, bool centreVertically);

/// Draws text in the current style with its right end at x, centred vertically on y.
void DrawTextRight(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t x, int32_t y);

// The same on a frame's surface, which is null while the display has none: then
// nothing is drawn and every text measures 0.

/// The text canvas of surface, or null for no surface.
TDirectDrawSurfaceCanvas* CanvasOf(TDirectDrawSurface* surface);

/// Selects style, then draws text centred horizontally on x and vertically on y.
void DrawCentredInStyle(TDirectDrawSurface* surface, std::string_view text, int32_t style,
                        int32_t x, int32_t y);

/// Selects style, then draws text with its top-left corner at (x, y).
void DrawAtInStyle(TDirectDrawSurface* surface, std::string_view text, int32_t style, int32_t x,
                   int32_t y);

/// Width in pixels of text in style (the style stays selected); 0 without a surface.
int32_t WidthInStyle(TDirectDrawSurface* surface, std::string_view text, int32_t style);

} // namespace vantorel

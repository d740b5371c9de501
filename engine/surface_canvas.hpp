// The text canvas of a drawing surface: a current font and a clear brush, and the
// measuring and drawing of strings with the fonts the surface was given
// (TDirectDrawSurface::SetFonts); a surface without fonts measures every text
// 0 x 0 and draws none.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantorel {

class TDirectDrawSurface;
struct TTextExtent;

/// A font as the canvas asks for it: a face name resolved by the desktop's font
/// matching, a size in desktop points (96 DPI), boldness and a colour 0x00RRGGBB.
struct TFont {
    std::string Name = "Arial";
    int32_t Size = 10;
    bool Bold = false;
    uint32_t Color = 0;
    bool operator==(const TFont&) const = default;
};

class TDirectDrawSurfaceCanvas {
public:
    explicit TDirectDrawSurfaceCanvas(TDirectDrawSurface& surface);
    ~TDirectDrawSurfaceCanvas();
    TDirectDrawSurfaceCanvas(const TDirectDrawSurfaceCanvas&) = delete;
    TDirectDrawSurfaceCanvas& operator=(const TDirectDrawSurfaceCanvas&) = delete;

    /// The current font; it stays in force for all later drawing and measuring.
    TFont Font;
    /// With a clear brush text is drawn without a background (the game always is).
    bool BrushClear = true;

    int32_t TextWidth(std::string_view text);
    int32_t TextHeight(std::string_view text);
    /// Draws text with its top-left corner at (x, y).
    void TextOut(int32_t x, int32_t y, std::string_view text);
    /// Gives back what drawing took; the next draw takes it again.
    void Release();

private:
    TTextExtent Extent(std::string_view text) const;

    TDirectDrawSurface& surface_;
};

} // namespace vantorel

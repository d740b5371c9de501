// Software drawing surfaces: 32-bit XRGB8888 pixel buffers with a source colour key.
// The back surface, every pattern surface of the image libraries and the pictures
// of the tests are all of this one kind, so every copy, blend, rotation and pixel
// test reads and writes exact pixel values.
#pragma once

#include "engine/geometry.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vantorel {

class IFontRenderer; // platform/font_renderer.hpp
class TDirectDrawSurfaceCanvas;

/// Pixel value of the surfaces: 0x00RRGGBB (the top byte is always 0).
using TPixel = uint32_t;

/// Converts a library colour (0x00BBGGRR) to a surface pixel value.
constexpr TPixel ColorToPixel(uint32_t bgr) {
    return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

/// A read view of a locked area; Bits points at the area's top-left pixel.
struct TSurfaceLock {
    const TPixel* Bits = nullptr;
    int32_t Pitch = 0; ///< pixels from one row to the next
    int32_t Width = 0;
    int32_t Height = 0;
};

class TDirectDrawSurface {
public:
    TDirectDrawSurface();
    TDirectDrawSurface(int32_t width, int32_t height);
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    /// Reallocates to width x height, all pixels 0; a size of 0 in either
    /// direction makes an empty surface that every draw skips.
    void SetSize(int32_t width, int32_t height);
    /// SetSize, then the cols x rows pixels at src (rows srcPitch pixels apart)
    /// copied into the top-left corner, without clearing first what they cover.
    /// cols and rows are cut to the size.
    void SetPixels(int32_t width, int32_t height, const TPixel* src, std::ptrdiff_t srcPitch,
                   int32_t cols, int32_t rows);
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    TRect ClientRect() const { return {0, 0, width_, height_}; }
    int32_t BitCount() const { return 32; }

    /// Raw pixel rows, Pitch() pixels apart. The non-const forms count as a write:
    /// the cached run encoding of the colour key is rebuilt before the next keyed copy.
    TPixel* Pixels();
    const TPixel* Pixels() const { return pixels_.data(); }
    TPixel* Row(int32_t y) { return Pixels() + static_cast<std::ptrdiff_t>(y) * width_; }
    const TPixel* Row(int32_t y) const {
        return pixels_.data() + static_cast<std::ptrdiff_t>(y) * width_;
    }
    int32_t Pitch() const { return width_; }

    /// The source colour key: pixels equal to it are left out of keyed copies.
    void SetColorKey(TPixel key);
    TPixel ColorKey() const { return colorKey_; }

    /// Fills the whole surface with a raw pixel value.
    void Fill(TPixel value);

    /// Locks an area for reading; false when the area is not inside the surface.
    /// Locks are free on a software surface; Unlock exists for symmetry with callers.
    bool Lock(const TRect& area, TSurfaceLock& out) const;
    void Unlock() const {}

    /// Copies srcRect of src with its top-left at (x, y), clipped against both
    /// surfaces. With transparent set, pixels equal to src's colour key are left
    /// out. A srcRect with Right < Left or Bottom < Top is copied mirrored
    /// left-right or top-bottom. Does nothing when x > Width() or y > Height().
    void Draw(int32_t x, int32_t y, const TDirectDrawSurface& src, const TRect& srcRect,
              bool transparent);

    /// Scales srcRect of src to destRect (nearest pixel, 16.16 stepping) and blends
    /// it in with weight alpha/255 (alpha >= 255 copies, <= 0 draws nothing).
    /// Per channel the blend is (s * w + d * (256 - w)) >> 8 with w = alpha +
    /// alpha / 128, so alpha 255 would give s and alpha 0 d exactly.
    void DrawBlended(const TRect& destRect, const TDirectDrawSurface& src, const TRect& srcRect,
                     bool transparent, int32_t alpha);

    /// Scales srcRect of src to width x height, turns it by angle/256 of a full
    /// turn clockwise about (centerX * width, centerY * height) and places that
    /// point at (x, y). Only the low 8 bits of angle count. Each destination pixel
    /// whose centre maps back inside the picture takes the source pixel under it.
    /// Nothing is drawn for width or height <= 0 or a source side over 16383.
    void DrawRotated(int32_t x, int32_t y, int32_t width, int32_t height,
                     const TDirectDrawSurface& src, const TRect& srcRect, double centerX,
                     double centerY, int32_t angle, bool transparent);

    /// The text canvas of this surface, made on first use (see surface_canvas.hpp).
    TDirectDrawSurfaceCanvas& Canvas();
    /// The fonts the canvas measures and draws text with; null (the start) for
    /// none, when every text measures 0 and nothing is drawn. They must outlive
    /// the surface or be replaced first. The display gives its back surface the
    /// desktop's fonts.
    void SetFonts(IFontRenderer* fonts) { fonts_ = fonts; }
    IFontRenderer* Fonts() const { return fonts_; }
    /// Hands the canvas's resources back; the frame loop calls it before Flip.
    void ReleaseCanvas();

private:
    struct Runs; // colour-key run encoding, private to the blitters
    const Runs& KeyRuns() const;

    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<TPixel> pixels_;
    TPixel colorKey_ = 0;
    mutable std::unique_ptr<Runs> runs_; // null when stale
    std::unique_ptr<TDirectDrawSurfaceCanvas> canvas_;
    IFontRenderer* fonts_ = nullptr;
};

} // namespace vantorel

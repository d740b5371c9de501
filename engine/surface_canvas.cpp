#include "engine/surface_canvas.hpp"

#include "engine/surface.hpp"
#include "platform/font_renderer.hpp"

#include <algorithm>

namespace vantorel {

namespace {

// The brush of an opaque canvas is white, as a fresh device context's is.
constexpr TPixel kOpaqueBrush = 0x00FFFFFFu;

TFontSpec SpecOf(const TFont& font) {
    return {font.Name, font.Size, font.Bold};
}

// dst + (src - dst) * a / 255 per channel, rounded; a = 0 keeps dst exactly.
TPixel Blend(TPixel dst, TPixel src, uint32_t a) {
    TPixel out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t d = (dst >> shift) & 0xFFu;
        const uint32_t s = (src >> shift) & 0xFFu;
        out |= ((s * a + d * (255u - a) + 127u) / 255u) << shift;
    }
    return out;
}

} // namespace

TDirectDrawSurfaceCanvas::TDirectDrawSurfaceCanvas(TDirectDrawSurface& surface)
    : surface_(surface) {}

TDirectDrawSurfaceCanvas::~TDirectDrawSurfaceCanvas() = default;

TTextExtent TDirectDrawSurfaceCanvas::Extent(std::string_view text) const {
    IFontRenderer* fonts = surface_.Fonts();
    return fonts != nullptr ? fonts->Measure(SpecOf(Font), text) : TTextExtent{};
}

int32_t TDirectDrawSurfaceCanvas::TextWidth(std::string_view text) {
    return Extent(text).Width;
}

int32_t TDirectDrawSurfaceCanvas::TextHeight(std::string_view text) {
    return Extent(text).Height;
}

void TDirectDrawSurfaceCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
    IFontRenderer* fonts = surface_.Fonts();
    const auto image = fonts != nullptr ? fonts->Coverage(SpecOf(Font), text) : nullptr;
    if (!image)
        return;
    const int32_t x0 = std::max(x, 0);
    const int32_t y0 = std::max(y, 0);
    const auto x1 =
        static_cast<int32_t>(std::min<int64_t>(int64_t{x} + image->Width, surface_.Width()));
    const auto y1 =
        static_cast<int32_t>(std::min<int64_t>(int64_t{y} + image->Height, surface_.Height()));
    if (x0 >= x1 || y0 >= y1)
        return;

    const TPixel colour = Font.Color & 0x00FFFFFFu;
    for (int32_t row = y0; row < y1; ++row) {
        TPixel* dst = surface_.Row(row);
        const uint32_t* src = image->Pixels.data() +
                              static_cast<ptrdiff_t>(int64_t{row} - y) * image->Width +
                              (int64_t{x0} - x);
        for (int32_t col = x0; col < x1; ++col) {
            const uint32_t a = src[col - x0] >> 24;
            if (!BrushClear)
                dst[col] = Blend(kOpaqueBrush, colour, a);
            else if (a == 255u)
                dst[col] = colour;
            else if (a != 0u)
                dst[col] = Blend(dst[col], colour, a);
        }
    }
}

void TDirectDrawSurfaceCanvas::Release() {
    // Software surfaces hold no device context; rendered texts stay cached in
    // the font renderer for the next frame.
}

} // namespace vantorel

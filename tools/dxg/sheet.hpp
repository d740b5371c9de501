// The contact sheet of the library tool: every picture of a library on one
// page, in index order, each with its index and name printed under it. Pictures
// larger than a cell are scaled down (nearest pixel); with Transparent set, the
// transparent colour shows as a grey checkerboard; thin lines mark the pattern
// cells of cut pictures.
#pragma once

#include "engine/dib.hpp"
#include "engine/image_library.hpp"
#include "engine/surface.hpp"
#include "engine/surface_canvas.hpp"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

namespace vantorel {

class IFontRenderer;

namespace sheet_detail {

constexpr int32_t kCell = 200; ///< largest picture side on the sheet, pixels
constexpr int32_t kSheetWidth = 1024;
constexpr int32_t kGap = 8;
constexpr int32_t kLabel = 16; ///< room for the name under a picture
constexpr TPixel kBackground = 0x202020;
constexpr TPixel kGrid = 0x00C0FF;

struct Placed {
    int32_t Index, X, Y, W, H;
};

inline void PutPicture(TDirectDrawSurface& s, const TPictureCollectionItem& item, const Placed& p) {
    const TPicture& pic = item.Picture;
    const TPixel key = ColorToPixel(ColorToRGB(item.TransparentColor()));
    for (int32_t y = 0; y < p.H; ++y) {
        const int32_t sy = static_cast<int32_t>(int64_t{y} * pic.Height / p.H);
        for (int32_t x = 0; x < p.W; ++x) {
            const int32_t sx = static_cast<int32_t>(int64_t{x} * pic.Width / p.W);
            TPixel px = pic.At(sx, sy);
            if (item.Transparent && px == key)
                px = ((x / 8 + y / 8) & 1) ? 0x909090 : 0x606060;
            s.Row(p.Y + y)[p.X + x] = px;
        }
    }
    // pattern cells, when the picture is cut
    const int32_t w = item.Width(), h = item.Height();
    if (w <= 0 || h <= 0 || (w == pic.Width && h == pic.Height))
        return;
    const int64_t cw = int64_t{w} + item.SkipWidth, ch = int64_t{h} + item.SkipHeight;
    if (cw <= 0 || ch <= 0)
        return;
    auto mark = [&](int64_t px, int64_t py) {
        const int64_t x = px * p.W / pic.Width, y = py * p.H / pic.Height;
        if (x >= 0 && x < p.W && y >= 0 && y < p.H)
            s.Row(p.Y + static_cast<int32_t>(y))[p.X + x] = kGrid;
    };
    for (int64_t cy = 0; cy + h <= pic.Height; cy += ch)
        for (int64_t cx = 0; cx + w <= pic.Width; cx += cw) {
            for (int64_t i = 0; i < w; ++i) {
                mark(cx + i, cy);
                mark(cx + i, cy + h - 1);
            }
            for (int64_t i = 0; i < h; ++i) {
                mark(cx, cy + i);
                mark(cx + w - 1, cy + i);
            }
        }
}

} // namespace sheet_detail

/// The contact sheet of a library; an empty library gives a small blank sheet.
/// The names are printed with fonts; without them the sheet has no names.
inline TPicture MakeContactSheet(const TPictureCollection& pictures, IFontRenderer* fonts) {
    using namespace sheet_detail;
    std::vector<Placed> placed;
    int32_t x = kGap, y = kGap, rowHeight = 0, right = 0;
    for (int32_t i = 0; i < pictures.Count(); ++i) {
        const TPicture& pic = pictures.Items(i).Picture;
        int32_t w = 0, h = 0;
        if (!pic.IsEmpty()) {
            const double scale = std::min(1.0, double(kCell) / std::max(pic.Width, pic.Height));
            w = std::max(1, static_cast<int32_t>(pic.Width * scale));
            h = std::max(1, static_cast<int32_t>(pic.Height * scale));
        }
        const int32_t cellW = std::max(w, 120);
        if (x + cellW + kGap > kSheetWidth && x > kGap) {
            x = kGap;
            y += rowHeight + kLabel + kGap;
            rowHeight = 0;
        }
        placed.push_back({i, x, y, w, h});
        x += cellW + kGap;
        right = std::max(right, x);
        rowHeight = std::max(rowHeight, h);
    }
    TDirectDrawSurface s(std::max(right, 64), y + rowHeight + kLabel + kGap);
    s.Fill(kBackground);
    s.SetFonts(fonts);
    for (const Placed& p : placed) {
        if (p.W > 0)
            PutPicture(s, pictures.Items(p.Index), p);
    }
    try {
        auto& canvas = s.Canvas();
        canvas.Font = TFont{"Arial", 8, false, 0xFFFFFF};
        for (const Placed& p : placed)
            canvas.TextOut(p.X, p.Y + p.H + 2,
                           std::to_string(p.Index) + " " + pictures.Items(p.Index).Name());
        s.ReleaseCanvas();
    } catch (const std::exception&) {
        // no fonts on this machine: the sheet goes without its names
    }
    TPicture out;
    out.Width = s.Width();
    out.Height = s.Height();
    for (int32_t row = 0; row < s.Height(); ++row)
        out.Pixels.insert(out.Pixels.end(), s.Row(row), s.Row(row) + s.Width());
    return out;
}

} // namespace vantorel

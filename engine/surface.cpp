#include "engine/surface.hpp"

#include "engine/blitters.hpp"
#include "engine/surface_canvas.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

namespace vantorel {

/// The opaque runs of every row: the pixels that are not the colour key, as
/// half-open column ranges in ascending order. Built on the first keyed copy
/// from the surface and dropped whenever its pixels or its key may change.
struct TDirectDrawSurface::Runs {
    std::vector<uint32_t> RowFirst; // Height() + 1 offsets into Spans
    std::vector<blit::RunSpan> Spans;
    // A row broken into many short runs is cheaper to copy pixel by pixel with a
    // key test over its whole extent than run by run.
    std::vector<uint8_t> Dense;
    // The same runs in one table in row order, a dense row as its extent: the
    // copy of rows that show whole. Row y's entries start at FlatFirst[y].
    std::vector<blit::FlatRun> Flat;
    std::vector<uint32_t> FlatFirst; // Height() + 1 offsets into Flat
    // The columns every run lies within: a copy of at least these shows whole rows.
    int32_t Left = 0;
    int32_t Right = 0;
};

namespace {

using blit::Pixel;

/// One axis of a 1:1 copy after clipping: Count pixels starting at destination
/// Dest0, taking source index Src0 there and stepping by +1 (or -1 when mirrored).
struct TAxis {
    int32_t Dest0 = 0;
    int32_t Count = 0;
    int32_t Src0 = 0;
    bool Mirror = false;
};

/// Clips the source range [min(a,b), max(a,b)) against the source size and its
/// image, placed at pos, against the destination size. The pixel that lands at
/// pos is the range's first one, or its last one when mirrored.
bool ClipAxis(int64_t pos, int64_t a, int64_t b, bool mirror, int64_t srcSize, int64_t destSize,
              TAxis& out) {
    int64_t lo = std::min(a, b);
    int64_t hi = std::max(a, b);
    const int64_t cutLow = std::max<int64_t>(0, -lo);
    const int64_t cutHigh = std::max<int64_t>(0, hi - srcSize);
    lo += cutLow;
    hi -= cutHigh;
    if (hi <= lo)
        return false;
    int64_t d0 = pos + (mirror ? cutHigh : cutLow);
    int64_t n = hi - lo;
    const int64_t c0 = std::max<int64_t>(0, -d0);
    const int64_t c1 = std::max<int64_t>(0, d0 + n - destSize);
    n -= c0 + c1;
    if (n <= 0)
        return false;
    d0 += c0;
    out.Dest0 = static_cast<int32_t>(d0);
    out.Count = static_cast<int32_t>(n);
    out.Src0 = static_cast<int32_t>(mirror ? hi - 1 - c0 : lo + c0);
    out.Mirror = mirror;
    return true;
}

/// Source indices of a nearest-pixel scaling of the range [min(a,b), max(a,b)) to
/// the destination range [d0, d1), in 16.16 fixed point: destination pixel i
/// takes source offset (i * step + step / 2) >> 16 with step = (source / dest) << 16.
/// Only destination pixels inside [0, destSize) whose source lies inside
/// [0, srcSize) are kept; first is the destination index of out[0].
void ScaleAxis(int64_t d0, int64_t d1, int64_t a, int64_t b, bool mirror, int64_t srcSize,
               int64_t destSize, std::vector<int32_t>& out, int32_t& first) {
    out.clear();
    const int64_t lo = std::min(a, b);
    const int64_t hi = std::max(a, b);
    const int64_t n = d1 - d0;
    if (n <= 0 || hi <= lo)
        return;
    const int64_t step = ((hi - lo) << 16) / n;
    const int64_t from = std::max<int64_t>(d0, 0);
    const int64_t to = std::min<int64_t>(d1, destSize);
    first = static_cast<int32_t>(from);
    for (int64_t d = from; d < to; ++d) {
        const int64_t off = ((d - d0) * step + step / 2) >> 16;
        const int64_t s = mirror ? hi - 1 - off : lo + off;
        if (s < 0 || s >= srcSize) {
            if (out.empty()) {
                first = static_cast<int32_t>(d + 1);
                continue;
            }
            break; // the mapping is monotonic: nothing further comes back inside
        }
        out.push_back(static_cast<int32_t>(s));
    }
}

/// One row of a scaled copy or blend: destination pixel c takes source column cols[c].
template <bool Keyed, bool Blend>
void ScaledRow(TPixel* d, const TPixel* s, const int32_t* cols, size_t n, TPixel key, uint32_t w) {
    for (size_t c = 0; c < n; ++c) {
        const TPixel p = s[cols[c]];
        const TPixel v = Blend ? blit::BlendPixel(p, d[c], w) : p;
        if constexpr (Keyed)
            d[c] = p != key ? v : d[c];
        else
            d[c] = v;
    }
}

/// cos(i * 2 pi / 256) in 16.16 fixed point; the quarter turns are exact.
const std::array<int32_t, 256>& CosTable() {
    static const std::array<int32_t, 256> table = [] {
        std::array<int32_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = static_cast<int32_t>(
                std::lround(std::cos(i * 2.0 * std::numbers::pi / 256.0) * 65536.0));
        return t;
    }();
    return table;
}

/// The smallest k in [k0, k1 + 1] for which ok(k) holds, ok turning from false to
/// true once as k grows; estimate is within a step or two of it.
template <class Pred> int64_t Settle(double estimate, int64_t k0, int64_t k1, Pred ok) {
    auto k = static_cast<int64_t>(
        std::clamp(estimate, static_cast<double>(k0), static_cast<double>(k1) + 1.0));
    while (k > k0 && ok(k - 1))
        --k;
    while (k <= k1 && !ok(k))
        ++k;
    return k;
}

/// Narrows [k0, k1] (inclusive) to the k with lo <= f + k * d < hi: the span of a
/// row whose source coordinate f + k * d stays on the source. No division: the
/// ends are estimated with the reciprocal of d and settled exactly.
void ClipStep(int64_t f, int64_t d, double inv, int64_t lo, int64_t hi, int64_t& k0, int64_t& k1) {
    if (d == 0) {
        if (f < lo || f >= hi)
            k1 = k0 - 1;
        return;
    }
    const double a = static_cast<double>(lo - f) * inv; // where the coordinate crosses lo
    const double b = static_cast<double>(hi - f) * inv; // and hi
    int64_t first, end;
    if (d > 0) {
        first = Settle(a, k0, k1, [&](int64_t k) { return f + k * d >= lo; });
        end = Settle(b, k0, k1, [&](int64_t k) { return f + k * d >= hi; });
    } else {
        first = Settle(b, k0, k1, [&](int64_t k) { return f + k * d < hi; });
        end = Settle(a, k0, k1, [&](int64_t k) { return f + k * d < lo; });
    }
    k0 = first;
    k1 = end - 1;
}

} // namespace

TDirectDrawSurface::TDirectDrawSurface() = default;

TDirectDrawSurface::TDirectDrawSurface(int32_t width, int32_t height) {
    SetSize(width, height);
}

TDirectDrawSurface::~TDirectDrawSurface() = default;

void TDirectDrawSurface::SetSize(int32_t width, int32_t height) {
    runs_.reset();
    if (width <= 0 || height <= 0) {
        width = 0;
        height = 0;
    }
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

void TDirectDrawSurface::SetPixels(int32_t width, int32_t height, const TPixel* src,
                                   std::ptrdiff_t srcPitch, int32_t cols, int32_t rows) {
    if (width <= 0 || height <= 0) {
        SetSize(0, 0);
        return;
    }
    runs_.reset();
    cols = std::clamp(cols, 0, width);
    rows = std::clamp(rows, 0, height);
    std::vector<TPixel> pixels;
    pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < rows; ++y) {
        const TPixel* row = src + y * srcPitch;
        pixels.insert(pixels.end(), row, row + cols);
        pixels.insert(pixels.end(), static_cast<size_t>(width - cols), TPixel{0});
    }
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height), TPixel{0});
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
}

TPixel* TDirectDrawSurface::Pixels() {
    runs_.reset();
    return pixels_.data();
}

void TDirectDrawSurface::SetColorKey(TPixel key) {
    if (key != colorKey_)
        runs_.reset();
    colorKey_ = key;
}

void TDirectDrawSurface::Fill(TPixel value) {
    runs_.reset();
    blit::FillRow(pixels_.data(), static_cast<std::ptrdiff_t>(pixels_.size()), value);
}

bool TDirectDrawSurface::Lock(const TRect& area, TSurfaceLock& out) const {
    if (area.IsEmpty() || area.Left < 0 || area.Top < 0 || area.Right > width_ ||
        area.Bottom > height_)
        return false;
    out.Bits = Row(area.Top) + area.Left;
    out.Pitch = Pitch();
    out.Width = area.Width();
    out.Height = area.Height();
    return true;
}

const TDirectDrawSurface::Runs& TDirectDrawSurface::KeyRuns() const {
    if (runs_)
        return *runs_;
    auto runs = std::make_unique<Runs>();
    runs->RowFirst.reserve(static_cast<size_t>(height_) + 1);
    runs->FlatFirst.reserve(static_cast<size_t>(height_) + 1);
    runs->Dense.resize(static_cast<size_t>(height_));
    const TPixel key = colorKey_;
    for (int32_t y = 0; y < height_; ++y) {
        const auto first = static_cast<uint32_t>(runs->Spans.size());
        runs->RowFirst.push_back(first);
        const TPixel* row = Row(y);
        int32_t x = 0;
        int32_t opaque = 0;
        while (x < width_) {
            while (x < width_ && row[x] == key)
                ++x;
            if (x == width_)
                break;
            const int32_t begin = x;
            while (x < width_ && row[x] != key)
                ++x;
            runs->Spans.push_back({begin, x});
            opaque += x - begin;
        }
        const auto count = static_cast<int32_t>(runs->Spans.size() - first);
        // Short runs on average: the key test over the extent beats a copy per run.
        const bool dense = count > 1 && opaque < count * 12;
        runs->Dense[static_cast<size_t>(y)] = dense;
        runs->FlatFirst.push_back(static_cast<uint32_t>(runs->Flat.size()));
        if (count == 0)
            continue;
        const int32_t left = runs->Spans[first].Begin;
        const int32_t right = runs->Spans.back().End;
        if (runs->Flat.empty()) {
            runs->Left = left;
            runs->Right = right;
        }
        runs->Left = std::min(runs->Left, left);
        runs->Right = std::max(runs->Right, right);
        if (dense) {
            runs->Flat.push_back({y, left, right, 1});
            continue;
        }
        for (size_t i = first; i < runs->Spans.size(); ++i)
            runs->Flat.push_back({y, runs->Spans[i].Begin, runs->Spans[i].End, 0});
    }
    runs->RowFirst.push_back(static_cast<uint32_t>(runs->Spans.size()));
    runs->FlatFirst.push_back(static_cast<uint32_t>(runs->Flat.size()));
    runs_ = std::move(runs);
    return *runs_;
}

void TDirectDrawSurface::Draw(int32_t x, int32_t y, const TDirectDrawSurface& src,
                              const TRect& srcRect, bool transparent) {
    if (x > width_ || y > height_)
        return;
    if (&src == this) { // copy through a snapshot so overlapping areas come out whole
        TDirectDrawSurface snapshot(width_, height_);
        std::copy(pixels_.begin(), pixels_.end(), snapshot.pixels_.begin());
        snapshot.colorKey_ = colorKey_;
        Draw(x, y, snapshot, srcRect, transparent);
        return;
    }
    TAxis ax, ay;
    if (!ClipAxis(x, srcRect.Left, srcRect.Right, srcRect.Right < srcRect.Left, src.width_, width_,
                  ax) ||
        !ClipAxis(y, srcRect.Top, srcRect.Bottom, srcRect.Bottom < srcRect.Top, src.height_,
                  height_, ay))
        return;
    runs_.reset();
    const int32_t n = ax.Count;
    // Source columns [sa, sb) cover the destination columns, whichever way round.
    const int32_t sa = ax.Mirror ? ax.Src0 - n + 1 : ax.Src0;
    const int32_t sb = sa + n;
    const int32_t rowStep = ay.Mirror ? -1 : 1;
    const Runs* runs = transparent ? &src.KeyRuns() : nullptr;
    const TPixel key = src.colorKey_;
    if (runs && !ax.Mirror && !ay.Mirror && sa <= runs->Left && runs->Right <= sb) {
        // Whole rows show: one loop over the runs of the rows drawn.
        const auto sy = static_cast<size_t>(ay.Src0);
        const blit::FlatRun* flat = runs->Flat.data();
        blit::CopyFlatRuns(
            pixels_.data() + static_cast<std::ptrdiff_t>(ay.Dest0) * width_ + ax.Dest0 - sa, width_,
            src.Row(ay.Src0), src.width_, flat + runs->FlatFirst[sy],
            flat + runs->FlatFirst[sy + static_cast<size_t>(ay.Count)], ay.Src0, key);
        return;
    }
    if (runs && !ax.Mirror) {
        const auto sy = static_cast<size_t>(ay.Src0);
        blit::CopyRunRows(
            pixels_.data() + static_cast<std::ptrdiff_t>(ay.Dest0) * width_ + ax.Dest0, width_,
            src.Row(ay.Src0), rowStep * static_cast<std::ptrdiff_t>(src.width_),
            runs->RowFirst.data() + sy, rowStep, runs->Dense.data() + sy, runs->Spans.data(),
            ay.Count, sa, sb, key);
        return;
    }
    for (int32_t r = 0; r < ay.Count; ++r) {
        const int32_t sy = ay.Src0 + r * rowStep;
        const TPixel* s = src.Row(sy);
        TPixel* d = pixels_.data() + static_cast<std::ptrdiff_t>(ay.Dest0 + r) * width_ + ax.Dest0;
        if (!runs) {
            if (ax.Mirror)
                blit::CopyRowMirrored(d, s + sa, n);
            else
                blit::CopyRow(d, s + sa, n);
            continue;
        }
        // Only a mirrored keyed copy comes here; the others went through CopyRunRows.
        const auto row = static_cast<size_t>(sy);
        blit::ForEachRowRun(
            runs->Spans.data(), runs->RowFirst.data() + row, runs->Dense[row] != 0, sa, sb,
            [&](int32_t a, int32_t b) {
                for (int32_t c = a; c < b; ++c)
                    if (s[c] != key)
                        d[sb - 1 - c] = s[c];
            },
            [&](int32_t a, int32_t b) { blit::CopyRowMirrored(d + (sb - b), s + a, b - a); });
    }
}

void TDirectDrawSurface::DrawBlended(const TRect& destRect, const TDirectDrawSurface& src,
                                     const TRect& srcRect, bool transparent, int32_t alpha) {
    if (alpha <= 0 || destRect.IsEmpty() || width_ <= 0 || height_ <= 0 || src.width_ <= 0 ||
        src.height_ <= 0)
        return;
    if (&src == this) {
        TDirectDrawSurface snapshot(width_, height_);
        std::copy(pixels_.begin(), pixels_.end(), snapshot.pixels_.begin());
        snapshot.colorKey_ = colorKey_;
        DrawBlended(destRect, snapshot, srcRect, transparent, alpha);
        return;
    }
    const bool mirrorX = srcRect.Right < srcRect.Left;
    const bool mirrorY = srcRect.Bottom < srcRect.Top;
    const int64_t sw = std::abs(static_cast<int64_t>(srcRect.Right) - srcRect.Left);
    const int64_t sh = std::abs(static_cast<int64_t>(srcRect.Bottom) - srcRect.Top);
    if (sw == 0 || sh == 0)
        return;
    const TPixel key = src.colorKey_;

    if (sw == destRect.Width() && sh == destRect.Height()) {
        if (alpha >= 255) {
            if (destRect.Left <= width_ && destRect.Top <= height_)
                Draw(destRect.Left, destRect.Top, src, srcRect, transparent);
            return;
        }
        TAxis ax, ay;
        if (!ClipAxis(destRect.Left, srcRect.Left, srcRect.Right, mirrorX, src.width_, width_,
                      ax) ||
            !ClipAxis(destRect.Top, srcRect.Top, srcRect.Bottom, mirrorY, src.height_, height_, ay))
            return;
        runs_.reset();
        const uint32_t w = blit::BlendWeight(alpha);
        const int32_t n = ax.Count;
        const int32_t sa = ax.Mirror ? ax.Src0 - n + 1 : ax.Src0;
        const int32_t sb = sa + n;
        const Runs* runs = transparent ? &src.KeyRuns() : nullptr;
        for (int32_t r = 0; r < ay.Count; ++r) {
            const int32_t sy = ay.Src0 + (ay.Mirror ? -r : r);
            const TPixel* s = src.Row(sy);
            TPixel* d =
                pixels_.data() + static_cast<std::ptrdiff_t>(ay.Dest0 + r) * width_ + ax.Dest0;
            if (ax.Mirror) {
                for (int32_t c = sa; c < sb; ++c)
                    if (!transparent || s[c] != key)
                        d[sb - 1 - c] = blit::BlendPixel(s[c], d[sb - 1 - c], w);
                continue;
            }
            if (!runs) {
                blit::BlendRow(d, s + sa, n, w);
                continue;
            }
            const auto row = static_cast<size_t>(sy);
            blit::ForEachRowRun(
                runs->Spans.data(), runs->RowFirst.data() + row, runs->Dense[row] != 0, sa, sb,
                [&](int32_t a, int32_t b) {
                    blit::BlendRowKeyed(d + (a - sa), s + a, b - a, w, key);
                },
                [&](int32_t a, int32_t b) { blit::BlendRow(d + (a - sa), s + a, b - a, w); });
        }
        return;
    }

    std::vector<int32_t> cols, rows;
    int32_t dx0 = 0, dy0 = 0;
    ScaleAxis(destRect.Left, destRect.Right, srcRect.Left, srcRect.Right, mirrorX, src.width_,
              width_, cols, dx0);
    ScaleAxis(destRect.Top, destRect.Bottom, srcRect.Top, srcRect.Bottom, mirrorY, src.height_,
              height_, rows, dy0);
    if (cols.empty() || rows.empty())
        return;
    runs_.reset();
    const uint32_t w = alpha >= 255 ? 256u : blit::BlendWeight(alpha);
    auto row = transparent ? (w == 256u ? &ScaledRow<true, false> : &ScaledRow<true, true>)
                           : (w == 256u ? &ScaledRow<false, false> : &ScaledRow<false, true>);
    // A plain scaled copy steps through a source row like a turned copy at angle 0,
    // and shares its row kernel (which fetches eight pixels at once where it can).
    const int64_t lo = std::min(srcRect.Left, srcRect.Right);
    const int64_t hi = std::max(srcRect.Left, srcRect.Right);
    constexpr int64_t kMaxStepped = 16383; // 16.16 offsets and one step stay in 32 bits
    const bool stepped = w == 256u && src.width_ <= kMaxStepped && hi - lo <= kMaxStepped;
    const int64_t step = ((hi - lo) << 16) / (static_cast<int64_t>(destRect.Right) - destRect.Left);
    const int64_t u0 = (dx0 - static_cast<int64_t>(destRect.Left)) * step + step / 2;
    const auto u = static_cast<int32_t>(mirrorX ? (hi << 16) - 1 - u0 : (lo << 16) + u0);
    const auto du = static_cast<int32_t>(mirrorX ? -step : step);
    for (size_t r = 0; r < rows.size(); ++r) {
        TPixel* d = pixels_.data() +
                    (static_cast<std::ptrdiff_t>(dy0) + static_cast<std::ptrdiff_t>(r)) * width_ +
                    dx0;
        if (stepped)
            blit::RotatedRow(d, static_cast<std::ptrdiff_t>(cols.size()), src.Row(rows[r]), 0, u, 0,
                             du, 0, transparent, key);
        else
            row(d, src.Row(rows[r]), cols.data(), cols.size(), key, w);
    }
}

void TDirectDrawSurface::DrawRotated(int32_t x, int32_t y, int32_t width, int32_t height,
                                     const TDirectDrawSurface& src, const TRect& srcRect,
                                     double centerX, double centerY, int32_t angle,
                                     bool transparent) {
    if (width <= 0 || height <= 0 || width_ <= 0 || height_ <= 0 || src.width_ <= 0 ||
        src.height_ <= 0 || !std::isfinite(centerX) || !std::isfinite(centerY))
        return;
    if (&src == this) {
        TDirectDrawSurface snapshot(width_, height_);
        std::copy(pixels_.begin(), pixels_.end(), snapshot.pixels_.begin());
        snapshot.colorKey_ = colorKey_;
        DrawRotated(x, y, width, height, snapshot, srcRect, centerX, centerY, angle, transparent);
        return;
    }
    const bool mirrorX = srcRect.Right < srcRect.Left;
    const bool mirrorY = srcRect.Bottom < srcRect.Top;
    const int64_t sl = std::min(srcRect.Left, srcRect.Right);
    const int64_t st = std::min(srcRect.Top, srcRect.Bottom);
    const int64_t sw = std::abs(static_cast<int64_t>(srcRect.Right) - srcRect.Left);
    const int64_t sh = std::abs(static_cast<int64_t>(srcRect.Bottom) - srcRect.Top);
    // The turned copy steps 16.16 source offsets in 32 bits.
    constexpr int64_t kMaxTurnedSide = 16383;
    if (sw == 0 || sh == 0 || sw > kMaxTurnedSide || sh > kMaxTurnedSide)
        return;
    // Columns and rows of the rectangle that lie on the source surface, as 16.16
    // offsets from its top-left corner.
    const int64_t loX = std::max<int64_t>(0, -sl) << 16;
    const int64_t hiX = std::min<int64_t>(sw, src.width_ - sl) << 16;
    const int64_t loY = std::max<int64_t>(0, -st) << 16;
    const int64_t hiY = std::min<int64_t>(sh, src.height_ - st) << 16;
    if (hiX <= loX || hiY <= loY)
        return;

    const auto& table = CosTable();
    const int32_t c16 = table[static_cast<size_t>(angle & 255)];
    const int32_t s16 = table[static_cast<size_t>((angle - 64) & 255)];
    const double cs = c16 / 65536.0;
    const double sn = s16 / 65536.0;
    const double pivotU = width * centerX;
    const double pivotV = height * centerY;

    // Destination area: bounding box of the four turned corners, rounded.
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    for (int corner = 0; corner < 4; ++corner) {
        const double a = ((corner & 1) ? width : 0) - pivotU;
        const double b = ((corner & 2) ? height : 0) - pivotV;
        const double px = x + a * cs - b * sn;
        const double py = y + a * sn + b * cs;
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py);
    }
    const double bx0 = std::max(std::floor(minX + 0.5), 0.0);
    const double bx1 = std::min(std::floor(maxX + 0.5), static_cast<double>(width_));
    const double by0 = std::max(std::floor(minY + 0.5), 0.0);
    const double by1 = std::min(std::floor(maxY + 0.5), static_cast<double>(height_));
    if (bx1 <= bx0 || by1 <= by0)
        return;
    const auto boxX0 = static_cast<int32_t>(bx0);
    const auto boxX1 = static_cast<int32_t>(bx1);
    const auto boxY0 = static_cast<int32_t>(by0);
    const auto boxY1 = static_cast<int32_t>(by1);
    runs_.reset();

    // Inverse mapping of a destination pixel's centre (px + .5, py + .5):
    //   u = dx cos + dy sin + pivotU,  v = -dx sin + dy cos + pivotV,
    // with dx, dy its offset from (x, y); the source offset is (u * sw / width,
    // v * sh / height), kept in 16.16 and stepped along the row.
    // A mirrored rectangle reads offset S - 1 - u in place of u (S its size in 16.16):
    // the same floor, so the mirror folds into the start and the sign of the steps.
    const double scaleX = static_cast<double>(sw) / width * 65536.0;
    const double scaleY = static_cast<double>(sh) / height * 65536.0;
    const int64_t signX = mirrorX ? -1 : 1;
    const int64_t signY = mirrorY ? -1 : 1;
    const int64_t duX = signX * std::llround(cs * scaleX); // along a row
    const int64_t dvX = signY * std::llround(-sn * scaleY);
    const int64_t duY = signX * std::llround(sn * scaleX); // from row to row
    const int64_t dvY = signY * std::llround(cs * scaleY);
    const double invU = duX != 0 ? 1.0 / static_cast<double>(duX) : 0.0;
    const double invV = dvX != 0 ? 1.0 / static_cast<double>(dvX) : 0.0;
    const double dx = boxX0 + 0.5 - x;
    const double dy = boxY0 + 0.5 - y;
    int64_t rowU = static_cast<int64_t>(std::floor((dx * cs + dy * sn + pivotU) * scaleX));
    int64_t rowV = static_cast<int64_t>(std::floor((-dx * sn + dy * cs + pivotV) * scaleY));
    if (mirrorX)
        rowU = (sw << 16) - 1 - rowU;
    if (mirrorY)
        rowV = (sh << 16) - 1 - rowV;
    const TPixel key = src.colorKey_;
    const std::ptrdiff_t pitch = src.width_;
    const TPixel* base = src.pixels_.data() + st * pitch + sl;
    const int64_t count = boxX1 - boxX0;
    for (int32_t py = boxY0; py < boxY1; ++py, rowU += duY, rowV += dvY) {
        int64_t k0 = 0, k1 = count - 1;
        ClipStep(rowU, duX, invU, loX, hiX, k0, k1);
        ClipStep(rowV, dvX, invV, loY, hiY, k0, k1);
        if (k1 < k0)
            continue;
        TPixel* d = pixels_.data() + static_cast<std::ptrdiff_t>(py) * width_ + boxX0 + k0;
        const int64_t u = rowU + k0 * duX;
        const int64_t v = rowV + k0 * dvX;
        blit::RotatedRow(d, k1 - k0 + 1, base, pitch, static_cast<int32_t>(u),
                         static_cast<int32_t>(v), static_cast<int32_t>(duX),
                         static_cast<int32_t>(dvX), transparent, key);
    }
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas() {
    if (!canvas_)
        canvas_ = std::make_unique<TDirectDrawSurfaceCanvas>(*this);
    return *canvas_;
}

void TDirectDrawSurface::ReleaseCanvas() {
    if (canvas_)
        canvas_->Release();
}

} // namespace vantorel

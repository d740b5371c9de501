// Row kernels of the software surfaces: copying, colour-key selection and blending
// of 32-bit XRGB8888 pixels. Only engine/surface.cpp calls them; they do no
// clipping and trust every count and pointer they are given.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vantorel::blit {

using Pixel = uint32_t;

/// The blend weight of an alpha of 1..254: alpha + alpha/128, so 0..255 spreads
/// over 0..256 and a weight of 256 would be an exact copy.
constexpr uint32_t BlendWeight(int32_t alpha) {
    return static_cast<uint32_t>(alpha) + (static_cast<uint32_t>(alpha) >> 7);
}

/// The blend of one pixel, per channel (s * w + d * (256 - w)) >> 8 with w the
/// weight above. Every kernel below gives exactly this result.
constexpr Pixel BlendPixel(Pixel s, Pixel d, uint32_t w) {
    const uint32_t iw = 256u - w;
    const uint32_t rb = (((s & 0xFF00FFu) * w + (d & 0xFF00FFu) * iw) >> 8) & 0xFF00FFu;
    const uint32_t g = (((s & 0x00FF00u) * w + (d & 0x00FF00u) * iw) >> 8) & 0x00FF00u;
    return rb | g;
}

/// dst[i] = src[i] for n pixels; the areas do not overlap.
void CopyRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n);
/// dst[i] = src[n - 1 - i]: a left-right mirrored copy.
void CopyRowMirrored(Pixel* dst, const Pixel* src, std::ptrdiff_t n);
/// dst[i] = src[i] where src[i] != key.
void CopyRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, Pixel key);
/// dst[i] = blend of src[i] over dst[i] with weight w (1..255).
void BlendRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w);
/// BlendRow for the pixels that are not the key.
void BlendRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key);
/// One row of a turned copy: dst[k] = base[(v_k >> 16) * pitch + (u_k >> 16)] for
/// k < n, with u_k = u + k * du and v_k = v + k * dv (16.16), leaving out the key
/// when keyed. Every u_k, v_k must lie on the source; all of them, and the
/// source's size in 16.16, fit in 32 bits.
void RotatedRow(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch, int32_t u,
                int32_t v, int32_t du, int32_t dv, bool keyed, Pixel key);
/// An opaque run of one source row: the half-open columns [Begin, End).
struct RunSpan {
    int32_t Begin;
    int32_t End;
};

/// The opaque runs of one row of a keyed picture that meet source columns
/// [sa, sb), sa < sb: the row's runs are spans[rowFirst[0]] up to
/// spans[rowFirst[1]], ascending. A dense row calls keyTest(a, b) once with its
/// runs' extent clipped to [sa, sb), to be copied with a key test per pixel; any
/// other row calls run(a, b) for each run clipped to [sa, sb), left to right.
/// Every range handed on is non-empty. Forced inline: the blitters call it per
/// row, and an AVX-512 caller must get its own copy of the lambdas inlined.
template <class KeyTest, class Run>
[[gnu::always_inline]] inline void ForEachRowRun(const RunSpan* spans, const uint32_t* rowFirst,
                                                 bool dense, int32_t sa, int32_t sb,
                                                 KeyTest&& keyTest, Run&& run) {
    const RunSpan* span = spans + rowFirst[0];
    const RunSpan* end = spans + rowFirst[1];
    if (span == end)
        return;
    if (dense) {
        const int32_t ea = std::max(sa, span->Begin);
        const int32_t eb = std::min(sb, (end - 1)->End);
        if (ea < eb)
            keyTest(ea, eb);
        return;
    }
    if (sa <= span->Begin && (end - 1)->End <= sb) { // the whole row shows
        for (; span != end; ++span)
            run(span->Begin, span->End);
        return;
    }
    if (sa > span->Begin)
        span = std::partition_point(span, end, [sa](const RunSpan& sp) { return sp.End <= sa; });
    for (; span != end && span->Begin < sb; ++span)
        run(std::max(span->Begin, sa), std::min(span->End, sb));
}

/// The keyed copy of rows through their opaque runs. For row r (r < rows) the
/// runs are spans[rowFirst[r * rowStep]] up to spans[rowFirst[r * rowStep + 1]],
/// ascending; only source columns [sa, sb) are copied, column c of source row
/// src + r * srcPitch going to dst[r * destPitch + c - sa]. A row whose dense
/// flag is set is copied by a key test over its runs' extent instead.
/// rowStep is +1 or -1 (a source read bottom-up).
void CopyRunRows(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                 const uint32_t* rowFirst, std::ptrdiff_t rowStep, const uint8_t* dense,
                 const RunSpan* spans, int32_t rows, int32_t sa, int32_t sb, Pixel key);
/// One entry of a keyed picture's table of runs in row order: the opaque run
/// [Begin, End) of source row Row, or, when KeyTest is set, the extent of a row
/// of many short runs, to be copied with a key test per pixel.
struct FlatRun {
    int32_t Row;
    int32_t Begin;
    int32_t End;
    int32_t KeyTest;
};

/// The keyed copy of whole rows from their table: for each entry of [run, last),
/// source pixels [Begin, End) of row src + (Row - row0) * srcPitch go to the same
/// columns of row dst + (Row - row0) * destPitch. One loop over the runs, with
/// nothing to decide per row: the path of a picture drawn with no column cut off.
void CopyFlatRuns(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                  const FlatRun* run, const FlatRun* last, int32_t row0, Pixel key);
/// dst[i] = value for n pixels.
void FillRow(Pixel* dst, std::ptrdiff_t n, Pixel value);

} // namespace vantorel::blit

// Integer rectangles of the 800x600 surface: origin top-left, y down, half-open.
#pragma once

#include <cmath>
#include <cstdint>

namespace vantorel {

/// A half-open rectangle: it holds the columns Left..Right-1 and rows Top..Bottom-1.
/// A rectangle with Right < Left (or Bottom < Top) given as a copy source means a
/// mirrored copy.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    constexpr int32_t Width() const { return Right - Left; }
    constexpr int32_t Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TRect Bounds(int32_t x, int32_t y, int32_t w, int32_t h) {
    return {x, y, x + w, y + h};
}

/// a.Left < b.Right, b.Left < a.Right, a.Top < b.Bottom and b.Top < a.Bottom: rectangles
/// that only touch along an edge do not overlap. (A zero-size rectangle strictly inside
/// another counts as overlapping it, so a sprite with no size still draws.)
constexpr bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

/// The common part of two rectangles; empty (possibly inverted) when they do not overlap.
constexpr TRect Intersect(const TRect& a, const TRect& b) {
    return {a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
            a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
}

/// v mod m taken into [0, m); m must be > 0.
constexpr int32_t WrapInto(int32_t v, int32_t m) {
    const int32_t r = v % m;
    return r < 0 ? r + m : r;
}

/// Rounds to the nearest integer with exact halves going to the even neighbour
/// (2.5 -> 2, 3.5 -> 4, -0.5 -> 0), as the engine does for every sprite position.
inline int32_t RoundHalfEven(double v) {
    return static_cast<int32_t>(std::nearbyint(v));
}

} // namespace vantorel

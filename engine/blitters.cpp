// The baseline kernels and the choice of level. SSE2 is part of every x86-64
// processor, so the baseline uses it without a check; the AVX2 and AVX-512 kernels
// (engine/blitters_avx2.cpp, engine/blitters_avx512.cpp) run when the active level
// allows. Other machines, and builds with VANTOREL_PLAIN_BLITTERS, take the plain
// loops, which give the same pixels.
#include "engine/blitters.hpp"

#include "engine/blitter_levels.hpp"
#include "engine/simd_level.hpp"

#include <algorithm>
#include <cstring>

#if VANTOREL_BLIT_X86
#include <emmintrin.h>
#define VANTOREL_BLIT_SSE2 1
#else
#define VANTOREL_BLIT_SSE2 0
#endif

namespace vantorel::blit {

namespace {

#if VANTOREL_BLIT_SSE2
inline __m128i Load(const Pixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(Pixel* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
inline void Move2(Pixel* d, const Pixel* s) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d),
                     _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)));
}

// Four pixels blended at once: bytes widened to 16-bit lanes, where
// s * w + d * (256 - w) <= 255 * 256 never overflows.
inline __m128i Blend4(__m128i s, __m128i d, __m128i w, __m128i iw) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo =
        _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), w),
                                     _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), iw)),
                       8);
    const __m128i hi =
        _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), w),
                                     _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), iw)),
                       8);
    return _mm_packus_epi16(lo, hi);
}

// Where mask is set take a, elsewhere b.
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

inline void KeyTest4(Pixel* dst, const Pixel* src, __m128i k) {
    const __m128i s = Load(src);
    Store(dst, Select(_mm_cmpeq_epi32(s, k), Load(dst), s));
}
#endif

// The last 0..3 pixels, spelled out so the compiler does not turn them into a call.
inline void CopyTail(Pixel* dst, const Pixel* src, std::ptrdiff_t n) {
    switch (n) {
    case 3:
        dst[2] = src[2];
        [[fallthrough]];
    case 2:
        dst[1] = src[1];
        [[fallthrough]];
    case 1:
        dst[0] = src[0];
        [[fallthrough]];
    default:
        break;
    }
}

// ------------------------------------------------------------- the baseline level

void CopyRowKeyedBase(Pixel* dst, const Pixel* src, std::ptrdiff_t n, Pixel key) {
#if VANTOREL_BLIT_SSE2
    if (n >= 4) {
        // The last four overlap the ones before: a pixel tested twice comes out the same.
        const __m128i k = _mm_set1_epi32(static_cast<int>(key));
        for (std::ptrdiff_t i = 0; i + 4 < n; i += 4)
            KeyTest4(dst + i, src + i, k);
        KeyTest4(dst + n - 4, src + n - 4, k);
        return;
    }
#endif
    for (std::ptrdiff_t i = 0; i < n; ++i)
        if (src[i] != key)
            dst[i] = src[i];
}

void BlendRowBase(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w) {
    std::ptrdiff_t i = 0;
#if VANTOREL_BLIT_SSE2
    const __m128i wv = _mm_set1_epi16(static_cast<short>(w));
    const __m128i iwv = _mm_set1_epi16(static_cast<short>(256u - w));
    for (; i + 4 <= n; i += 4)
        Store(dst + i, Blend4(Load(src + i), Load(dst + i), wv, iwv));
#endif
    for (; i < n; ++i)
        dst[i] = BlendPixel(src[i], dst[i], w);
}

void BlendRowKeyedBase(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key) {
    std::ptrdiff_t i = 0;
#if VANTOREL_BLIT_SSE2
    const __m128i wv = _mm_set1_epi16(static_cast<short>(w));
    const __m128i iwv = _mm_set1_epi16(static_cast<short>(256u - w));
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    for (; i + 4 <= n; i += 4) {
        const __m128i s = Load(src + i);
        const __m128i d = Load(dst + i);
        Store(dst + i, Select(_mm_cmpeq_epi32(s, k), d, Blend4(s, d, wv, iwv)));
    }
#endif
    for (; i < n; ++i)
        if (src[i] != key)
            dst[i] = BlendPixel(src[i], dst[i], w);
}

template <bool Keyed>
void RotatedRowPlain(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch,
                     int32_t u, int32_t v, int32_t du, int32_t dv, Pixel key) {
    for (std::ptrdiff_t k = 0; k < n; ++k, u += du, v += dv) {
        const Pixel p = base[(v >> 16) * pitch + (u >> 16)];
        if constexpr (Keyed)
            dst[k] = p != key ? p : dst[k];
        else
            dst[k] = p;
    }
}

void RotatedRowBase(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch,
                    int32_t u, int32_t v, int32_t du, int32_t dv, bool keyed, Pixel key) {
    if (keyed)
        RotatedRowPlain<true>(dst, n, base, pitch, u, v, du, dv, key);
    else
        RotatedRowPlain<false>(dst, n, base, pitch, u, v, du, dv, key);
}

// One opaque run, n >= 1 pixels: whole vectors and a last one that overlaps the
// one before, so no run of any length falls to a pixel loop or a call.
[[gnu::always_inline]] inline void CopyRunBase(Pixel* d, const Pixel* s, std::ptrdiff_t n) {
#if VANTOREL_BLIT_SSE2
    if (n >= 8) {
        // after the first vector, stores at 16-byte boundaries: none split a cache line
        Store(d, Load(s));
        auto i = static_cast<std::ptrdiff_t>(4 - ((reinterpret_cast<uintptr_t>(d) >> 2) & 3));
        for (; i + 8 < n; i += 8) {
            const __m128i a = Load(s + i);
            const __m128i b = Load(s + i + 4);
            Store(d + i, a);
            Store(d + i + 4, b);
        }
        if (i + 4 < n)
            Store(d + i, Load(s + i));
        Store(d + n - 4, Load(s + n - 4));
        return;
    }
    if (n >= 4) {
        const __m128i a = Load(s);
        Store(d + n - 4, Load(s + n - 4));
        Store(d, a);
        return;
    }
    if (n >= 2) {
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
        Move2(d + n - 2, s + n - 2);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), a);
        return;
    }
    d[0] = s[0];
#else
    CopyRow(d, s, n);
#endif
}

void CopyRunRowsBase(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src,
                     std::ptrdiff_t srcPitch, const uint32_t* rowFirst, std::ptrdiff_t rowStep,
                     const uint8_t* dense, const RunSpan* spans, int32_t rows, int32_t sa,
                     int32_t sb, Pixel key) {
    Pixel* out = dst - sa; // indexed by source column
    for (int32_t r = 0; r < rows;
         ++r, out += destPitch, src += srcPitch, rowFirst += rowStep, dense += rowStep) {
        ForEachRowRun(
            spans, rowFirst, *dense != 0, sa, sb,
            [&](int32_t a, int32_t b) { CopyRowKeyedBase(out + a, src + a, b - a, key); },
            [&](int32_t a, int32_t b) { CopyRunBase(out + a, src + a, b - a); });
    }
}

void CopyFlatRunsBase(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src,
                      std::ptrdiff_t srcPitch, const FlatRun* run, const FlatRun* last,
                      int32_t row0, Pixel key) {
    for (; run != last; ++run) {
        const std::ptrdiff_t row = run->Row - row0;
        Pixel* d = dst + row * destPitch + run->Begin;
        const Pixel* s = src + row * srcPitch + run->Begin;
        if (run->KeyTest != 0)
            CopyRowKeyedBase(d, s, run->End - run->Begin, key);
        else
            CopyRunBase(d, s, run->End - run->Begin);
    }
}

void FillRowBase(Pixel* dst, std::ptrdiff_t n, Pixel value) {
    std::ptrdiff_t i = 0;
#if VANTOREL_BLIT_SSE2
    const __m128i v = _mm_set1_epi32(static_cast<int>(value));
    for (; i + 4 <= n; i += 4)
        Store(dst + i, v);
#endif
    for (; i < n; ++i)
        dst[i] = value;
}

// The level of this call: a level above the baseline only in a build that has it.
inline TSimdLevel Level() {
#if VANTOREL_BLIT_X86
    return ActiveSimdLevel();
#else
    return TSimdLevel::Baseline;
#endif
}

} // namespace

#if VANTOREL_BLIT_X86
void StringFill(Pixel* dst, std::ptrdiff_t n, Pixel value) {
    if (reinterpret_cast<uintptr_t>(dst) & 4) {
        *dst++ = value;
        --n;
    }
    auto count = static_cast<uint64_t>(n / 2);
    const uint64_t pair = value | (static_cast<uint64_t>(value) << 32);
    asm volatile("rep stosq" : "+D"(dst), "+c"(count) : "a"(pair) : "memory");
    if (n & 1)
        *dst = value;
}
#endif

// ------------------------------------------------------------- the choice of level

void CopyRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n) {
    if (n >= 32) {
        std::memcpy(dst, src, static_cast<size_t>(n) * sizeof(Pixel));
        return;
    }
#if VANTOREL_BLIT_SSE2
    for (; n >= 4; n -= 4, dst += 4, src += 4)
        Store(dst, Load(src));
#else
    for (; n >= 4; n -= 4, dst += 4, src += 4) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = src[3];
    }
#endif
    CopyTail(dst, src, n);
}

void CopyRowMirrored(Pixel* dst, const Pixel* src, std::ptrdiff_t n) {
    for (std::ptrdiff_t i = 0; i < n; ++i)
        dst[i] = src[n - 1 - i];
}

void CopyRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, Pixel key) {
    switch (Level()) {
#if VANTOREL_BLIT_X86
    case TSimdLevel::Avx512:
        avx512::CopyRowKeyed(dst, src, n, key);
        return;
    case TSimdLevel::Avx2:
        avx2::CopyRowKeyed(dst, src, n, key);
        return;
#endif
    default:
        CopyRowKeyedBase(dst, src, n, key);
    }
}

void BlendRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w) {
    switch (Level()) {
#if VANTOREL_BLIT_X86
    case TSimdLevel::Avx512:
        avx512::BlendRow(dst, src, n, w);
        return;
    case TSimdLevel::Avx2:
        avx2::BlendRow(dst, src, n, w);
        return;
#endif
    default:
        BlendRowBase(dst, src, n, w);
    }
}

void BlendRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key) {
    switch (Level()) {
#if VANTOREL_BLIT_X86
    case TSimdLevel::Avx512:
        avx512::BlendRowKeyed(dst, src, n, w, key);
        return;
    case TSimdLevel::Avx2:
        avx2::BlendRowKeyed(dst, src, n, w, key);
        return;
#endif
    default:
        BlendRowKeyedBase(dst, src, n, w, key);
    }
}

void RotatedRow(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch, int32_t u,
                int32_t v, int32_t du, int32_t dv, bool keyed, Pixel key) {
    // A whole step along one source row (an unscaled picture turned by a half or no
    // turn) reads consecutive pixels: a copy, or a mirrored one.
    constexpr int32_t kOne = 1 << 16;
    if (dv == 0 && (du == kOne || du == -kOne)) {
        const Pixel* row = base + (v >> 16) * pitch + (u >> 16);
        if (du == kOne) {
            if (keyed)
                CopyRowKeyed(dst, row, n, key);
            else
                CopyRow(dst, row, n);
            return;
        }
        if (!keyed) {
            CopyRowMirrored(dst, row - (n - 1), n);
            return;
        }
#if VANTOREL_BLIT_X86
        if (n >= 8 && Level() >= TSimdLevel::Avx2) {
            avx2::CopyRowKeyedReversed(dst, row, n, key);
            return;
        }
#endif
        for (std::ptrdiff_t k = 0; k < n; ++k)
            if (row[-k] != key)
                dst[k] = row[-k];
        return;
    }
#if VANTOREL_BLIT_X86
    // Eight fetches at once beat single loads once a row holds a vector; AVX-512's
    // wider fetch is no faster per pixel, so both levels take the AVX2 one.
    if (n >= 8 && Level() >= TSimdLevel::Avx2) {
        avx2::RotatedRow(dst, n, base, pitch, u, v, du, dv, keyed, key);
        return;
    }
#endif
    RotatedRowBase(dst, n, base, pitch, u, v, du, dv, keyed, key);
}

void CopyRunRows(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                 const uint32_t* rowFirst, std::ptrdiff_t rowStep, const uint8_t* dense,
                 const RunSpan* spans, int32_t rows, int32_t sa, int32_t sb, Pixel key) {
    switch (Level()) {
#if VANTOREL_BLIT_X86
    case TSimdLevel::Avx512:
        avx512::CopyRunRows(dst, destPitch, src, srcPitch, rowFirst, rowStep, dense, spans, rows,
                            sa, sb, key);
        return;
    case TSimdLevel::Avx2:
        avx2::CopyRunRows(dst, destPitch, src, srcPitch, rowFirst, rowStep, dense, spans, rows, sa,
                          sb, key);
        return;
#endif
    default:
        CopyRunRowsBase(dst, destPitch, src, srcPitch, rowFirst, rowStep, dense, spans, rows, sa,
                        sb, key);
    }
}

void CopyFlatRuns(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                  const FlatRun* run, const FlatRun* last, int32_t row0, Pixel key) {
    switch (Level()) {
#if VANTOREL_BLIT_X86
    case TSimdLevel::Avx512:
        avx512::CopyFlatRuns(dst, destPitch, src, srcPitch, run, last, row0, key);
        return;
    case TSimdLevel::Avx2:
        avx2::CopyFlatRuns(dst, destPitch, src, srcPitch, run, last, row0, key);
        return;
#endif
    default:
        CopyFlatRunsBase(dst, destPitch, src, srcPitch, run, last, row0, key);
    }
}

void FillRow(Pixel* dst, std::ptrdiff_t n, Pixel value) {
    if (value == 0) {
        std::memset(dst, 0, static_cast<size_t>(n) * sizeof(Pixel));
        return;
    }
#if VANTOREL_BLIT_X86
    if (n >= kStringFillMin) {
        StringFill(dst, n, value);
        return;
    }
    if (Level() >= TSimdLevel::Avx2) {
        avx2::FillRow(dst, n, value);
        return;
    }
#endif
    FillRowBase(dst, n, value);
}

} // namespace vantorel::blit

// The AVX-512 kernels: sixteen pixels per vector, and masked loads and stores for
// the ends of rows and runs, so no length falls to a pixel loop. Every function
// of this file is compiled for AVX-512 F and BW (the pragmas below, after the last
// #include), and runs only when the active level is AVX-512.
#include "engine/blitter_levels.hpp"

#if VANTOREL_BLIT_X86

#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,avx512f,avx512bw"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512bw")
#endif

namespace vantorel::blit::avx512 {

namespace {

// The lanes of the first n pixels of a vector, n < 16.
inline __mmask16 First(std::ptrdiff_t n) {
    return static_cast<__mmask16>((1u << n) - 1u);
}

// 64-byte moves with a masked last one: no tail loop, whatever the run's length.
inline void CopyRun(Pixel* d, const Pixel* s, std::ptrdiff_t n) {
    std::ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16)
        _mm512_storeu_si512(d + i, _mm512_loadu_si512(s + i));
    if (i < n) {
        const __mmask16 m = First(n - i);
        _mm512_mask_storeu_epi32(d + i, m, _mm512_maskz_loadu_epi32(m, s + i));
    }
}

// Sixteen pixels blended at once, as the baseline does four.
inline __m512i Blend16(__m512i s, __m512i d, __m512i w, __m512i iw) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i lo =
        _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpacklo_epi8(s, zero), w),
                                           _mm512_mullo_epi16(_mm512_unpacklo_epi8(d, zero), iw)),
                          8);
    const __m512i hi =
        _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(_mm512_unpackhi_epi8(s, zero), w),
                                           _mm512_mullo_epi16(_mm512_unpackhi_epi8(d, zero), iw)),
                          8);
    return _mm512_packus_epi16(lo, hi);
}

// Blends the lanes of m that are not the key (every lane of m when not Keyed).
template <bool Keyed>
inline void BlendLanes(Pixel* dst, const Pixel* src, __mmask16 m, __m512i w, __m512i iw,
                       __m512i k) {
    const __m512i s = _mm512_maskz_loadu_epi32(m, src);
    const __m512i d = _mm512_maskz_loadu_epi32(m, dst);
    if constexpr (Keyed)
        m = _mm512_mask_cmpneq_epi32_mask(m, s, k);
    _mm512_mask_storeu_epi32(dst, m, Blend16(s, d, w, iw));
}

template <bool Keyed>
void BlendRows(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key) {
    const __m512i wv = _mm512_set1_epi16(static_cast<short>(w));
    const __m512i iwv = _mm512_set1_epi16(static_cast<short>(256u - w));
    const __m512i k = _mm512_set1_epi32(static_cast<int>(key));
    std::ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16)
        BlendLanes<Keyed>(dst + i, src + i, static_cast<__mmask16>(0xFFFF), wv, iwv, k);
    if (i < n)
        BlendLanes<Keyed>(dst + i, src + i, First(n - i), wv, iwv, k);
}

} // namespace

void CopyRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, Pixel key) {
    const __m512i k = _mm512_set1_epi32(static_cast<int>(key));
    std::ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m512i s = _mm512_loadu_si512(src + i);
        _mm512_mask_storeu_epi32(dst + i, _mm512_cmpneq_epi32_mask(s, k), s);
    }
    if (i < n) {
        const __mmask16 m = First(n - i);
        const __m512i s = _mm512_maskz_loadu_epi32(m, src + i);
        _mm512_mask_storeu_epi32(dst + i, _mm512_mask_cmpneq_epi32_mask(m, s, k), s);
    }
}

void BlendRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w) {
    BlendRows<false>(dst, src, n, w, 0);
}

void BlendRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key) {
    BlendRows<true>(dst, src, n, w, key);
}

void CopyRunRows(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                 const uint32_t* rowFirst, std::ptrdiff_t rowStep, const uint8_t* dense,
                 const RunSpan* spans, int32_t rows, int32_t sa, int32_t sb, Pixel key) {
    Pixel* out = dst - sa; // indexed by source column
    for (int32_t r = 0; r < rows;
         ++r, out += destPitch, src += srcPitch, rowFirst += rowStep, dense += rowStep) {
        ForEachRowRun(
            spans, rowFirst, *dense != 0, sa, sb,
            [&](int32_t a, int32_t b) { CopyRowKeyed(out + a, src + a, b - a, key); },
            [&](int32_t a, int32_t b) { CopyRun(out + a, src + a, b - a); });
    }
}

void CopyFlatRuns(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                  const FlatRun* run, const FlatRun* last, int32_t row0, Pixel key) {
    for (; run != last; ++run) {
        const std::ptrdiff_t row = run->Row - row0;
        Pixel* d = dst + row * destPitch + run->Begin;
        const Pixel* s = src + row * srcPitch + run->Begin;
        if (run->KeyTest != 0)
            CopyRowKeyed(d, s, run->End - run->Begin, key);
        else
            CopyRun(d, s, run->End - run->Begin);
    }
}

} // namespace vantorel::blit::avx512

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif

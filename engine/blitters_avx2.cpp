// The AVX2 kernels: eight pixels per vector. Every function of this file is
// compiled for AVX2 (the pragmas below, after the last #include, so nothing
// shared with the rest of the program is), and runs only when the active level
// is AVX2 or above.
#include "engine/blitter_levels.hpp"

#if VANTOREL_BLIT_X86

#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace vantorel::blit::avx2 {

namespace {

inline __m256i Load(const Pixel* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void Store(Pixel* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
inline __m128i Load4(const Pixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(Pixel* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Eight pixels blended at once, as the baseline does four: bytes widened to 16-bit
// lanes within each half, where s * w + d * (256 - w) <= 255 * 256 never overflows.
inline __m256i Blend8(__m256i s, __m256i d, __m256i w, __m256i iw) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), w),
                                           _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), iw)),
                          8);
    const __m256i hi =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), w),
                                           _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), iw)),
                          8);
    return _mm256_packus_epi16(lo, hi);
}

inline void KeyTest8(Pixel* dst, const Pixel* src, __m256i k) {
    const __m256i s = Load(src);
    Store(dst, _mm256_blendv_epi8(s, Load(dst), _mm256_cmpeq_epi32(s, k)));
}

inline void KeyTest4(Pixel* dst, const Pixel* src, __m128i k) {
    const __m128i s = Load4(src);
    Store4(dst, _mm_blendv_epi8(s, Load4(dst), _mm_cmpeq_epi32(s, k)));
}

// Copies the 32 pixels at s to d: all four vectors are loaded before any is
// stored, so no load waits behind a store to an address that may look the same.
inline void Copy32(Pixel* d, const Pixel* s) {
    const __m256i a = Load(s);
    const __m256i b = Load(s + 8);
    const __m256i c = Load(s + 16);
    const __m256i e = Load(s + 24);
    Store(d, a);
    Store(d + 8, b);
    Store(d + 16, c);
    Store(d + 24, e);
}

// One opaque run, n >= 1 pixels: whole vectors and last ones overlapping the ones
// before (a pixel copied twice comes out the same), so no run of any length falls
// to a pixel loop or a call.
inline void CopyRun(Pixel* d, const Pixel* s, std::ptrdiff_t n) {
    if (n > 32) {
        for (std::ptrdiff_t i = 0; i + 32 < n; i += 32)
            Copy32(d + i, s + i);
        Copy32(d + n - 32, s + n - 32);
        return;
    }
    if (n > 16) {
        const __m256i a = Load(s);
        const __m256i b = Load(s + 8);
        const __m256i c = Load(s + n - 16);
        const __m256i e = Load(s + n - 8);
        Store(d, a);
        Store(d + 8, b);
        Store(d + n - 16, c);
        Store(d + n - 8, e);
        return;
    }
    if (n >= 8) {
        const __m256i a = Load(s);
        const __m256i b = Load(s + n - 8);
        Store(d, a);
        Store(d + n - 8, b);
        return;
    }
    if (n >= 4) {
        const __m128i a = Load4(s);
        const __m128i b = Load4(s + n - 4);
        Store4(d, a);
        Store4(d + n - 4, b);
        return;
    }
    if (n >= 2) {
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + n - 2));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), a);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d + n - 2), b);
        return;
    }
    d[0] = s[0];
}

// The eight pixels at base[idx[i]]. Single loads put into place beat the gather
// instruction, which runs a pixel at a time on many processors (and slower still
// on those patched against gather data sampling).
inline __m256i Fetch8(const Pixel* base, __m256i idx) {
    alignas(32) int32_t at[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), idx);
    __m128i lo = _mm_cvtsi32_si128(static_cast<int>(base[at[0]]));
    __m128i hi = _mm_cvtsi32_si128(static_cast<int>(base[at[4]]));
    lo = _mm_insert_epi32(lo, static_cast<int>(base[at[1]]), 1);
    hi = _mm_insert_epi32(hi, static_cast<int>(base[at[5]]), 1);
    lo = _mm_insert_epi32(lo, static_cast<int>(base[at[2]]), 2);
    hi = _mm_insert_epi32(hi, static_cast<int>(base[at[6]]), 2);
    lo = _mm_insert_epi32(lo, static_cast<int>(base[at[3]]), 3);
    hi = _mm_insert_epi32(hi, static_cast<int>(base[at[7]]), 3);
    return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

template <bool Keyed>
void RotatedTail(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch, int32_t u,
                 int32_t v, int32_t du, int32_t dv, Pixel key) {
    for (std::ptrdiff_t k = 0; k < n; ++k, u += du, v += dv) {
        const Pixel p = base[(v >> 16) * pitch + (u >> 16)];
        if constexpr (Keyed)
            dst[k] = p != key ? p : dst[k];
        else
            dst[k] = p;
    }
}

} // namespace

void CopyRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, Pixel key) {
    // A pixel tested twice by overlapping vectors comes out the same.
    if (n >= 8) {
        const __m256i k = _mm256_set1_epi32(static_cast<int>(key));
        for (std::ptrdiff_t i = 0; i + 8 < n; i += 8)
            KeyTest8(dst + i, src + i, k);
        KeyTest8(dst + n - 8, src + n - 8, k);
        return;
    }
    if (n >= 4) {
        const __m128i k = _mm_set1_epi32(static_cast<int>(key));
        KeyTest4(dst, src, k);
        KeyTest4(dst + n - 4, src + n - 4, k);
        return;
    }
    for (std::ptrdiff_t i = 0; i < n; ++i)
        if (src[i] != key)
            dst[i] = src[i];
}

void BlendRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w) {
    const __m256i wv = _mm256_set1_epi16(static_cast<short>(w));
    const __m256i iwv = _mm256_set1_epi16(static_cast<short>(256u - w));
    std::ptrdiff_t i = 0;
    for (; i + 8 <= n; i += 8)
        Store(dst + i, Blend8(Load(src + i), Load(dst + i), wv, iwv));
    for (; i < n; ++i) // a blend may not overlap: it would blend a pixel twice
        dst[i] = BlendPixel(src[i], dst[i], w);
}

void BlendRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key) {
    const __m256i wv = _mm256_set1_epi16(static_cast<short>(w));
    const __m256i iwv = _mm256_set1_epi16(static_cast<short>(256u - w));
    const __m256i k = _mm256_set1_epi32(static_cast<int>(key));
    std::ptrdiff_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i s = Load(src + i);
        const __m256i d = Load(dst + i);
        Store(dst + i, _mm256_blendv_epi8(Blend8(s, d, wv, iwv), d, _mm256_cmpeq_epi32(s, k)));
    }
    for (; i < n; ++i)
        if (src[i] != key)
            dst[i] = BlendPixel(src[i], dst[i], w);
}

// Eight source pixels fetched at once.
void RotatedRow(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch, int32_t u,
                int32_t v, int32_t du, int32_t dv, bool keyed, Pixel key) {
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i uu =
        _mm256_add_epi32(_mm256_set1_epi32(u), _mm256_mullo_epi32(lane, _mm256_set1_epi32(du)));
    __m256i vv =
        _mm256_add_epi32(_mm256_set1_epi32(v), _mm256_mullo_epi32(lane, _mm256_set1_epi32(dv)));
    const __m256i du8 = _mm256_set1_epi32(du * 8);
    const __m256i dv8 = _mm256_set1_epi32(dv * 8);
    const __m256i pv = _mm256_set1_epi32(static_cast<int>(pitch));
    const __m256i kv = _mm256_set1_epi32(static_cast<int>(key));
    std::ptrdiff_t k = 0;
    for (; k + 8 <= n; k += 8) {
        const __m256i idx = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(vv, 16), pv),
                                             _mm256_srai_epi32(uu, 16));
        __m256i p = Fetch8(base, idx);
        if (keyed)
            p = _mm256_blendv_epi8(p, Load(dst + k), _mm256_cmpeq_epi32(p, kv));
        Store(dst + k, p);
        uu = _mm256_add_epi32(uu, du8);
        vv = _mm256_add_epi32(vv, dv8);
    }
    if (k == n)
        return;
    const auto tailU = static_cast<int32_t>(u + k * du);
    const auto tailV = static_cast<int32_t>(v + k * dv);
    if (keyed)
        RotatedTail<true>(dst + k, n - k, base, pitch, tailU, tailV, du, dv, key);
    else
        RotatedTail<false>(dst + k, n - k, base, pitch, tailU, tailV, du, dv, key);
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

void FillRow(Pixel* dst, std::ptrdiff_t n, Pixel value) {
    const __m256i v = _mm256_set1_epi32(static_cast<int>(value));
    std::ptrdiff_t i = 0;
    for (; i + 8 <= n; i += 8)
        Store(dst + i, v);
    for (; i < n; ++i)
        dst[i] = value;
}

} // namespace vantorel::blit::avx2

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif

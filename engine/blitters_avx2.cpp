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

// One opaque run, n >= 1 pixels: whole vectors and a last one overlapping the one
// before (a pixel copied twice comes out the same), so no run of any length falls
// to a pixel loop or a call. One vector at a time measured faster here than
// wider steps or stores aligned to the destination.
inline void CopyRun(Pixel* d, const Pixel* s, std::ptrdiff_t n) {
    if (n >= 8) {
        for (std::ptrdiff_t i = 0; i + 8 < n; i += 8)
            Store(d + i, Load(s + i));
        Store(d + n - 8, Load(s + n - 8));
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

// The eight pixels at base[idx[i]], every idx[i] >= 0. Single loads put into
// place beat the gather instruction, which runs a pixel at a time on many
// processors (and slower still on those patched against gather data sampling);
// the indices leave the vector two at a time, as 64-bit halves.
inline __m256i Fetch8(const Pixel* base, __m256i idx) {
    const __m128i il = _mm256_castsi256_si128(idx);
    const __m128i ih = _mm256_extracti128_si256(idx, 1);
    const auto a = static_cast<uint64_t>(_mm_cvtsi128_si64(il));
    const auto b = static_cast<uint64_t>(_mm_extract_epi64(il, 1));
    const auto c = static_cast<uint64_t>(_mm_cvtsi128_si64(ih));
    const auto e = static_cast<uint64_t>(_mm_extract_epi64(ih, 1));
    __m128i lo = _mm_cvtsi32_si128(static_cast<int>(base[static_cast<uint32_t>(a)]));
    __m128i hi = _mm_cvtsi32_si128(static_cast<int>(base[static_cast<uint32_t>(c)]));
    lo = _mm_insert_epi32(lo, static_cast<int>(base[a >> 32]), 1);
    hi = _mm_insert_epi32(hi, static_cast<int>(base[c >> 32]), 1);
    lo = _mm_insert_epi32(lo, static_cast<int>(base[static_cast<uint32_t>(b)]), 2);
    hi = _mm_insert_epi32(hi, static_cast<int>(base[static_cast<uint32_t>(e)]), 2);
    lo = _mm_insert_epi32(lo, static_cast<int>(base[b >> 32]), 3);
    hi = _mm_insert_epi32(hi, static_cast<int>(base[e >> 32]), 3);
    return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

// Eight steps of a turned row from (u, v) in 16.16 (lanes 0..7 of uu, vv).
template <bool Keyed>
[[gnu::always_inline]] inline void Rotated8(Pixel* dst, const Pixel* base, __m256i uu, __m256i vv,
                                            __m256i pv, __m256i kv) {
    const __m256i idx = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(vv, 16), pv),
                                         _mm256_srai_epi32(uu, 16));
    __m256i p = Fetch8(base, idx);
    if constexpr (Keyed)
        p = _mm256_blendv_epi8(p, Load(dst), _mm256_cmpeq_epi32(p, kv));
    Store(dst, p);
}

// A turned row of n >= 8 pixels: whole vectors, then a last one overlapping the
// one before. Writing a pixel twice is harmless: the second write takes the same
// source pixel, and a keyed one leaves what the first left.
template <bool Keyed>
void RotatedRows(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch, int32_t u,
                 int32_t v, int32_t du, int32_t dv, Pixel key) {
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i duv = _mm256_mullo_epi32(lane, _mm256_set1_epi32(du));
    const __m256i dvv = _mm256_mullo_epi32(lane, _mm256_set1_epi32(dv));
    __m256i uu = _mm256_add_epi32(_mm256_set1_epi32(u), duv);
    __m256i vv = _mm256_add_epi32(_mm256_set1_epi32(v), dvv);
    const __m256i du8 = _mm256_set1_epi32(du * 8);
    const __m256i dv8 = _mm256_set1_epi32(dv * 8);
    const __m256i pv = _mm256_set1_epi32(static_cast<int>(pitch));
    const __m256i kv = _mm256_set1_epi32(static_cast<int>(key));
    std::ptrdiff_t k = 0;
    for (; k + 8 < n; k += 8) {
        Rotated8<Keyed>(dst + k, base, uu, vv, pv, kv);
        uu = _mm256_add_epi32(uu, du8);
        vv = _mm256_add_epi32(vv, dv8);
    }
    const auto lastU = static_cast<int32_t>(u + (n - 8) * du);
    const auto lastV = static_cast<int32_t>(v + (n - 8) * dv);
    Rotated8<Keyed>(dst + n - 8, base, _mm256_add_epi32(_mm256_set1_epi32(lastU), duv),
                    _mm256_add_epi32(_mm256_set1_epi32(lastV), dvv), pv, kv);
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

void CopyRowKeyedReversed(Pixel* dst, const Pixel* last, std::ptrdiff_t n, Pixel key) {
    const __m256i k = _mm256_set1_epi32(static_cast<int>(key));
    const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    // Eight pixels ending at last - i, turned round; the last vector overlaps.
    auto eight = [&](std::ptrdiff_t i) {
        const __m256i s = _mm256_permutevar8x32_epi32(Load(last - i - 7), reverse);
        Store(dst + i, _mm256_blendv_epi8(s, Load(dst + i), _mm256_cmpeq_epi32(s, k)));
    };
    for (std::ptrdiff_t i = 0; i + 8 < n; i += 8)
        eight(i);
    eight(n - 8);
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

// Eight source pixels fetched at once; n >= 8.
void RotatedRow(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch, int32_t u,
                int32_t v, int32_t du, int32_t dv, bool keyed, Pixel key) {
    if (keyed)
        RotatedRows<true>(dst, n, base, pitch, u, v, du, dv, key);
    else
        RotatedRows<false>(dst, n, base, pitch, u, v, du, dv, key);
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

// SSE2 is part of every x86-64 processor, so it needs no run-time check; AVX2 is
// looked for at run time. Other machines take the plain loops, which give the
// same pixels.
#include "engine/blitters.hpp"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define VANTOREL_BLIT_SSE2 1
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
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

} // namespace

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
    std::ptrdiff_t i = 0;
#if VANTOREL_BLIT_SSE2
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    for (; i + 4 <= n; i += 4) {
        const __m128i s = Load(src + i);
        Store(dst + i, Select(_mm_cmpeq_epi32(s, k), Load(dst + i), s));
    }
#endif
    for (; i < n; ++i)
        if (src[i] != key)
            dst[i] = src[i];
}

void BlendRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w) {
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

void BlendRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key) {
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

namespace {

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

#if defined(__x86_64__) && defined(__GNUC__)
#define VANTOREL_BLIT_AVX2 1
// Eight source pixels fetched at once with a gather; chosen at run time, since
// not every x86-64 processor has it.
__attribute__((target("avx2"))) void RotatedRowAvx2(Pixel* dst, std::ptrdiff_t n, const Pixel* base,
                                                    std::ptrdiff_t pitch, int32_t u, int32_t v,
                                                    int32_t du, int32_t dv, bool keyed, Pixel key) {
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
        __m256i p = _mm256_i32gather_epi32(reinterpret_cast<const int*>(base), idx, 4);
        if (keyed) {
            const __m256i old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + k));
            p = _mm256_blendv_epi8(p, old, _mm256_cmpeq_epi32(p, kv));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + k), p);
        uu = _mm256_add_epi32(uu, du8);
        vv = _mm256_add_epi32(vv, dv8);
    }
    if (k == n)
        return;
    const auto tailU = static_cast<int32_t>(u + k * du);
    const auto tailV = static_cast<int32_t>(v + k * dv);
    if (keyed)
        RotatedRowPlain<true>(dst + k, n - k, base, pitch, tailU, tailV, du, dv, key);
    else
        RotatedRowPlain<false>(dst + k, n - k, base, pitch, tailU, tailV, du, dv, key);
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace

void RotatedRow(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch, int32_t u,
                int32_t v, int32_t du, int32_t dv, bool keyed, Pixel key) {
#if VANTOREL_BLIT_AVX2
    if (n >= 16 && HasAvx2()) {
        RotatedRowAvx2(dst, n, base, pitch, u, v, du, dv, keyed, key);
        return;
    }
#endif
    if (keyed)
        RotatedRowPlain<true>(dst, n, base, pitch, u, v, du, dv, key);
    else
        RotatedRowPlain<false>(dst, n, base, pitch, u, v, du, dv, key);
}

namespace {

// Walks the rows and runs, handing each run to copy(dst, src, n).
template <class Copy>
[[gnu::always_inline]] inline void
WalkRuns(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
         const uint32_t* rowFirst, std::ptrdiff_t rowStep, const uint8_t* dense,
         const RunSpan* spans, int32_t rows, int32_t sa, int32_t sb, Pixel key, Copy copy) {
    Pixel* out = dst - sa; // indexed by source column
    for (int32_t r = 0; r < rows;
         ++r, out += destPitch, src += srcPitch, rowFirst += rowStep, dense += rowStep) {
        ForEachRowRun(
            spans, rowFirst, *dense != 0, sa, sb,
            [&](int32_t a, int32_t b) { CopyRowKeyed(out + a, src + a, b - a, key); },
            [&](int32_t a, int32_t b) { copy(out + a, src + a, b - a); });
    }
}

#if VANTOREL_BLIT_AVX2
// 64-byte moves with a masked last one: no tail loop, whatever the run's length.
__attribute__((target("avx512f"))) inline void CopyRun512(Pixel* d, const Pixel* s,
                                                          std::ptrdiff_t n) {
    std::ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16)
        _mm512_storeu_si512(d + i, _mm512_loadu_si512(s + i));
    if (i < n) {
        const auto m = static_cast<__mmask16>((1u << (n - i)) - 1u);
        _mm512_mask_storeu_epi32(d + i, m, _mm512_maskz_loadu_epi32(m, s + i));
    }
}

// The walk is inlined here, so the lambda and CopyRun512 compile for AVX-512 with it.
__attribute__((target("avx512f"))) void
CopyRunRowsAvx512(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                  const uint32_t* rowFirst, std::ptrdiff_t rowStep, const uint8_t* dense,
                  const RunSpan* spans, int32_t rows, int32_t sa, int32_t sb, Pixel key) {
    WalkRuns(dst, destPitch, src, srcPitch, rowFirst, rowStep, dense, spans, rows, sa, sb, key,
             [](Pixel* d, const Pixel* s, std::ptrdiff_t n) { CopyRun512(d, s, n); });
}

bool HasAvx512() {
    static const bool has = __builtin_cpu_supports("avx512f");
    return has;
}
#endif

} // namespace

void CopyRunRows(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                 const uint32_t* rowFirst, std::ptrdiff_t rowStep, const uint8_t* dense,
                 const RunSpan* spans, int32_t rows, int32_t sa, int32_t sb, Pixel key) {
#if VANTOREL_BLIT_AVX2
    if (HasAvx512()) {
        CopyRunRowsAvx512(dst, destPitch, src, srcPitch, rowFirst, rowStep, dense, spans, rows, sa,
                          sb, key);
        return;
    }
#endif
    WalkRuns(dst, destPitch, src, srcPitch, rowFirst, rowStep, dense, spans, rows, sa, sb, key,
             [](Pixel* d, const Pixel* s, std::ptrdiff_t n) {
                 if (n >= 16)
                     std::memcpy(d, s, static_cast<size_t>(n) * sizeof(Pixel));
                 else
                     CopyRow(d, s, n);
             });
}

void FillRow(Pixel* dst, std::ptrdiff_t n, Pixel value) {
    if (value == 0) {
        std::memset(dst, 0, static_cast<size_t>(n) * sizeof(Pixel));
        return;
    }
#if defined(__x86_64__) && defined(__GNUC__)
    // The string store writes whole cache lines without reading them first, as
    // memset does; plain vector stores run at half its speed on a large surface.
    if (n >= 256) {
        if (reinterpret_cast<uintptr_t>(dst) & 4) {
            *dst++ = value;
            --n;
        }
        auto count = static_cast<uint64_t>(n / 2);
        const uint64_t pair = value | (static_cast<uint64_t>(value) << 32);
        asm volatile("rep stosq" : "+D"(dst), "+c"(count) : "a"(pair) : "memory");
        if (n & 1)
            *dst = value;
        return;
    }
#endif
    std::ptrdiff_t i = 0;
#if VANTOREL_BLIT_SSE2
    const __m128i v = _mm_set1_epi32(static_cast<int>(value));
    for (; i + 4 <= n; i += 4)
        Store(dst + i, v);
#endif
    for (; i < n; ++i)
        dst[i] = value;
}

} // namespace vantorel::blit

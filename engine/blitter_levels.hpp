// The row kernels of each vector level above the baseline, for engine/blitters.cpp
// to choose from; the same contracts as the functions of engine/blitters.hpp.
// Only built for x86-64 (VANTOREL_BLIT_X86).
#pragma once

#include "engine/blitters.hpp"
#include "engine/simd_level.hpp"

#if VANTOREL_BLIT_X86

namespace vantorel::blit {

namespace avx2 {
void CopyRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, Pixel key);
/// dst[i] = last[-i] where that is not the key, for n >= 8 pixels.
void CopyRowKeyedReversed(Pixel* dst, const Pixel* last, std::ptrdiff_t n, Pixel key);
void BlendRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w);
void BlendRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key);
/// For rows of n >= 8 pixels only.
void RotatedRow(Pixel* dst, std::ptrdiff_t n, const Pixel* base, std::ptrdiff_t pitch, int32_t u,
                int32_t v, int32_t du, int32_t dv, bool keyed, Pixel key);
void CopyRunRows(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                 const uint32_t* rowFirst, std::ptrdiff_t rowStep, const uint8_t* dense,
                 const RunSpan* spans, int32_t rows, int32_t sa, int32_t sb, Pixel key);
void CopyFlatRuns(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                  const FlatRun* run, const FlatRun* last, int32_t row0, Pixel key);
void FillRow(Pixel* dst, std::ptrdiff_t n, Pixel value);
} // namespace avx2

namespace avx512 {
void CopyRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, Pixel key);
void BlendRow(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w);
void BlendRowKeyed(Pixel* dst, const Pixel* src, std::ptrdiff_t n, uint32_t w, Pixel key);
void CopyRunRows(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                 const uint32_t* rowFirst, std::ptrdiff_t rowStep, const uint8_t* dense,
                 const RunSpan* spans, int32_t rows, int32_t sa, int32_t sb, Pixel key);
void CopyFlatRuns(Pixel* dst, std::ptrdiff_t destPitch, const Pixel* src, std::ptrdiff_t srcPitch,
                  const FlatRun* run, const FlatRun* last, int32_t row0, Pixel key);
} // namespace avx512

/// A fill of n >= kStringFillMin pixels by the string store, the same at every
/// level: it writes whole cache lines without reading them first, as memset
/// does, where vector stores run at half its speed on a large surface.
constexpr std::ptrdiff_t kStringFillMin = 256;
void StringFill(Pixel* dst, std::ptrdiff_t n, Pixel value);

} // namespace vantorel::blit

#endif

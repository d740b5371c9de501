// The vector instruction level the software blitters run at. The level is picked
// once, from what the processor has; VANTOREL_SIMD=baseline|avx2|avx512 in the
// environment asks for a lower one (never a higher one), and the tests and the
// benchmarks switch levels in the running program to draw the same pictures at each.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The x86-64 vector paths: built with GCC or clang for x86-64, unless
// VANTOREL_PLAIN_BLITTERS asks for the plain C++ loops every machine runs.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(VANTOREL_PLAIN_BLITTERS)
#define VANTOREL_BLIT_X86 1
#else
#define VANTOREL_BLIT_X86 0
#endif

namespace vantorel {

/// Baseline is SSE2 on x86-64 (every such processor has it) and the plain loops
/// elsewhere; each level above it needs the processor's support.
enum class TSimdLevel : uint8_t { Baseline, Avx2, Avx512 };

/// Every level, lowest first.
constexpr TSimdLevel kSimdLevels[] = {TSimdLevel::Baseline, TSimdLevel::Avx2, TSimdLevel::Avx512};

/// "baseline", "avx2" or "avx512": the names VANTOREL_SIMD takes.
std::string_view SimdLevelName(TSimdLevel level);
std::optional<TSimdLevel> ParseSimdLevel(std::string_view name);

/// The highest level both this build and this processor can run.
TSimdLevel MachineSimdLevel();

namespace detail {
/// The active level as a number, kUnsetSimdLevel before the first use; a constant
/// start, so it is right from the first instruction of the program on.
constexpr uint8_t kUnsetSimdLevel = 0xFF;
extern uint8_t activeSimdLevel;
TSimdLevel FirstActiveSimdLevel();
} // namespace detail

/// The level the blitters use now. On first use: the machine's, or the one
/// VANTOREL_SIMD names when that is lower. Inline: the blitters ask once a row.
inline TSimdLevel ActiveSimdLevel() {
    const uint8_t level = detail::activeSimdLevel;
    return level != detail::kUnsetSimdLevel ? static_cast<TSimdLevel>(level)
                                            : detail::FirstActiveSimdLevel();
}

/// Makes the blitters use level, or the machine's own when level is above it;
/// returns the level now in use. For tests and benchmarks: call it between
/// draws, from the drawing thread.
TSimdLevel SetActiveSimdLevel(TSimdLevel level);

/// The level asked for by a VANTOREL_SIMD value, capped at the machine's; the
/// machine's own for an empty or unknown value.
TSimdLevel SimdLevelFromSetting(const char* setting, TSimdLevel machine);

} // namespace vantorel

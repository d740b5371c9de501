#include "engine/simd_level.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vantorel {

namespace {

TSimdLevel DetectMachineLevel() {
#if VANTOREL_BLIT_X86
    __builtin_cpu_init();
    // The AVX-512 kernels use 32-bit lanes with masks (F) and 16-bit products (BW).
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx2"))
        return TSimdLevel::Avx512;
    if (__builtin_cpu_supports("avx2"))
        return TSimdLevel::Avx2;
#endif
    return TSimdLevel::Baseline;
}

} // namespace

namespace detail {

uint8_t activeSimdLevel = kUnsetSimdLevel;

TSimdLevel FirstActiveSimdLevel() {
    const TSimdLevel level = SimdLevelFromSetting(std::getenv("VANTOREL_SIMD"), MachineSimdLevel());
    activeSimdLevel = static_cast<uint8_t>(level);
    return level;
}

} // namespace detail

std::string_view SimdLevelName(TSimdLevel level) {
    switch (level) {
    case TSimdLevel::Baseline:
        return "baseline";
    case TSimdLevel::Avx2:
        return "avx2";
    case TSimdLevel::Avx512:
        return "avx512";
    }
    return "baseline";
}

std::optional<TSimdLevel> ParseSimdLevel(std::string_view name) {
    for (TSimdLevel level : kSimdLevels)
        if (name == SimdLevelName(level))
            return level;
    return std::nullopt;
}

TSimdLevel MachineSimdLevel() {
    static const TSimdLevel level = DetectMachineLevel();
    return level;
}

TSimdLevel SimdLevelFromSetting(const char* setting, TSimdLevel machine) {
    if (setting == nullptr || *setting == '\0')
        return machine;
    const std::optional<TSimdLevel> asked = ParseSimdLevel(setting);
    if (!asked) {
        std::fprintf(stderr, "VANTOREL_SIMD=%s is not baseline, avx2 or avx512: ignored\n",
                     setting);
        return machine;
    }
    return std::min(*asked, machine);
}

TSimdLevel SetActiveSimdLevel(TSimdLevel level) {
    const TSimdLevel set = std::min(level, MachineSimdLevel());
    detail::activeSimdLevel = static_cast<uint8_t>(set);
    return set;
}

} // namespace vantorel

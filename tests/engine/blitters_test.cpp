#include "engine/blitters.hpp"
#include "engine/simd_level.hpp"
#include "engine/simd_level_fixture.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <vector>

namespace vantorel {
namespace {

using blit::Pixel;

constexpr Pixel kKey = 0xFF00FF;
// Pixels a kernel must not touch are kept on either side of every row it writes.
constexpr std::ptrdiff_t kGuard = 20;
constexpr Pixel kGuardPixel = 0xABCDEF;

/// A row of n pixels at offset (0..7) into a buffer with guards around it, so
/// rows start at every alignment; about one pixel in keyRate is the key.
struct TRow {
    std::vector<Pixel> buffer;
    std::ptrdiff_t offset;
    Pixel* At() { return buffer.data() + kGuard + offset; }
};

TRow RandomRow(std::mt19937& rng, std::ptrdiff_t n, std::ptrdiff_t offset, unsigned keyRate) {
    TRow row{std::vector<Pixel>(static_cast<size_t>(n + offset + 2 * kGuard), kGuardPixel), offset};
    for (std::ptrdiff_t i = 0; i < n; ++i)
        row.At()[i] = keyRate != 0 && rng() % keyRate == 0 ? kKey : rng() & 0xFFFFFF;
    return row;
}

/// The key in the last pixel (the last lane of the last vector) and in the first.
void KeyTheEnds(TRow& row, std::ptrdiff_t n) {
    if (n > 0) {
        row.At()[n - 1] = kKey;
        row.At()[0] = kKey;
    }
}

class BlitterRows : public SimdLevelFixture {};

// Every length from empty to a few vectors, at every alignment, with few, many,
// no and all pixels keyed: each pixel is the one-pixel model's, and nothing
// beside the row changes.
TEST_P(BlitterRows, KeyedCopyAndBlendMatchTheOnePixelModel) {
    std::mt19937 rng(17);
    for (std::ptrdiff_t n = 0; n <= 70; ++n)
        for (std::ptrdiff_t offset : {0, 1, 3, 5})
            for (unsigned keyRate : {0u, 1u, 2u, 9u}) {
                TRow src = RandomRow(rng, n, (offset * 3) % 8, keyRate);
                if (keyRate == 9)
                    KeyTheEnds(src, n);
                const TRow dst = RandomRow(rng, n, offset, 0);
                for (uint32_t w : {0u, 1u, 77u, 129u, 255u}) { // 0: the keyed copy
                    TRow got = dst;
                    TRow want = dst;
                    const bool keyed = w == 0 || keyRate != 0;
                    if (w == 0)
                        blit::CopyRowKeyed(got.At(), src.At(), n, kKey);
                    else if (keyed)
                        blit::BlendRowKeyed(got.At(), src.At(), n, w, kKey);
                    else
                        blit::BlendRow(got.At(), src.At(), n, w);
                    for (std::ptrdiff_t i = 0; i < n; ++i) {
                        const Pixel s = src.At()[i];
                        if (keyed && s == kKey)
                            continue;
                        want.At()[i] = w == 0 ? s : blit::BlendPixel(s, want.At()[i], w);
                    }
                    ASSERT_EQ(got.buffer, want.buffer) << "n " << n << " offset " << offset
                                                       << " key rate " << keyRate << " w " << w;
                }
            }
}

// A turned row: dst[k] = base[(v_k >> 16) * pitch + (u_k >> 16)], stepping in
// 16.16 every way round, keyed or not, rows shorter and longer than a gather;
// one trial in five steps a whole pixel along a source row either way (the
// unscaled picture at no turn or a half turn), which is copied, not fetched.
TEST_P(BlitterRows, TurnedRowTakesThePixelUnderEachStep) {
    std::mt19937 rng(23);
    constexpr int32_t kW = 53, kH = 31;
    TRow picture = RandomRow(rng, kW * kH, 0, 4);
    const Pixel* base = picture.At();
    for (int trial = 0; trial < 3000; ++trial) {
        const auto n = static_cast<std::ptrdiff_t>(rng() % 60);
        auto du = static_cast<int32_t>(rng() % 0x30000) - 0x18000;
        auto dv = static_cast<int32_t>(rng() % 0x20000) - 0x10000;
        if (trial % 5 == 1) {
            du = trial % 10 == 1 ? 0x10000 : -0x10000;
            dv = 0;
        }
        // a start from which all n steps stay on the picture
        const int64_t spanU = std::abs(static_cast<int64_t>(du)) * (n > 0 ? n - 1 : 0);
        const int64_t spanV = std::abs(static_cast<int64_t>(dv)) * (n > 0 ? n - 1 : 0);
        if (spanU >= (int64_t{kW} << 16) || spanV >= (int64_t{kH} << 16))
            continue;
        const int64_t u0 = static_cast<int64_t>(rng() % static_cast<uint32_t>((kW << 16) - spanU));
        const int64_t v0 = static_cast<int64_t>(rng() % static_cast<uint32_t>((kH << 16) - spanV));
        const auto u = static_cast<int32_t>(du >= 0 ? u0 : u0 + spanU);
        const auto v = static_cast<int32_t>(dv >= 0 ? v0 : v0 + spanV);
        const bool keyed = trial % 2 == 0;
        const TRow dst = RandomRow(rng, n, trial % 8, 0);
        TRow got = dst;
        TRow want = dst;
        blit::RotatedRow(got.At(), n, base, kW, u, v, du, dv, keyed, kKey);
        for (std::ptrdiff_t k = 0; k < n; ++k) {
            const int64_t uk = u + k * int64_t{du}, vk = v + k * int64_t{dv};
            const Pixel p = base[(vk >> 16) * kW + (uk >> 16)];
            if (!keyed || p != kKey)
                want.At()[k] = p;
        }
        ASSERT_EQ(got.buffer, want.buffer) << "trial " << trial << " n " << n;
    }
}

// Fills of every length around the vector widths and the string store's threshold.
TEST_P(BlitterRows, FillSetsExactlyTheRow) {
    std::mt19937 rng(5);
    for (std::ptrdiff_t n : {0, 1, 3, 4, 7, 8, 9, 15, 17, 255, 256, 257, 301})
        for (std::ptrdiff_t offset : {0, 1, 2})
            for (Pixel value : {0x000000u, 0x123456u}) {
                TRow got = RandomRow(rng, n, offset, 0);
                TRow want = got;
                blit::FillRow(got.At(), n, value);
                std::fill(want.At(), want.At() + n, value);
                ASSERT_EQ(got.buffer, want.buffer) << "n " << n << " offset " << offset;
            }
}

VANTOREL_AT_EVERY_SIMD_LEVEL(BlitterRows);

// ---------------------------------------------------------------- choosing the level

TEST(SimdLevel, TheSettingOnlyLowersTheLevel) {
    struct {
        const char* setting;
        TSimdLevel machine, expected;
    } cases[] = {
        {nullptr, TSimdLevel::Avx2, TSimdLevel::Avx2},
        {"", TSimdLevel::Avx512, TSimdLevel::Avx512},
        {"baseline", TSimdLevel::Avx512, TSimdLevel::Baseline},
        {"avx2", TSimdLevel::Avx512, TSimdLevel::Avx2},
        {"avx512", TSimdLevel::Avx2, TSimdLevel::Avx2},
        {"avx2", TSimdLevel::Baseline, TSimdLevel::Baseline},
        {"AVX2", TSimdLevel::Avx512, TSimdLevel::Avx512}, // unknown: ignored
        {"sse9", TSimdLevel::Avx2, TSimdLevel::Avx2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SimdLevelFromSetting(c.setting, c.machine), c.expected)
            << (c.setting ? c.setting : "(unset)");
    for (TSimdLevel level : kSimdLevels)
        EXPECT_EQ(ParseSimdLevel(SimdLevelName(level)), level);
}

TEST(SimdLevel, SettingTheLevelStopsAtTheMachines) {
    const TSimdLevel before = ActiveSimdLevel();
    EXPECT_EQ(SetActiveSimdLevel(TSimdLevel::Avx512), MachineSimdLevel());
    EXPECT_EQ(SetActiveSimdLevel(TSimdLevel::Baseline), TSimdLevel::Baseline);
    EXPECT_EQ(ActiveSimdLevel(), TSimdLevel::Baseline);
    SetActiveSimdLevel(before);
}

} // namespace
} // namespace vantorel

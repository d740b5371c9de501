// A test run once per vector level of the blitters: each level this machine has
// draws the same pictures, and a level it lacks is skipped, saying so.
#pragma once

#include "engine/simd_level.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vantorel {

class SimdLevelFixture : public testing::TestWithParam<TSimdLevel> {
protected:
    void SetUp() override {
        if (GetParam() > MachineSimdLevel())
            GTEST_SKIP() << "this machine (or build) has no " << SimdLevelName(GetParam())
                         << " level; its highest is " << SimdLevelName(MachineSimdLevel());
        ASSERT_EQ(SetActiveSimdLevel(GetParam()), GetParam());
    }
    void TearDown() override { SetActiveSimdLevel(previous_); }

private:
    TSimdLevel previous_ = ActiveSimdLevel();
};

inline void PrintTo(TSimdLevel level, std::ostream* os) {
    *os << SimdLevelName(level);
}

inline std::string SimdLevelTestName(const testing::TestParamInfo<TSimdLevel>& info) {
    return std::string(SimdLevelName(info.param));
}

} // namespace vantorel

/// Runs the tests of fixture at every level, named after the levels.
#define VANTOREL_AT_EVERY_SIMD_LEVEL(fixture)                                                      \
    INSTANTIATE_TEST_SUITE_P(Levels, fixture, testing::ValuesIn(::vantorel::kSimdLevels),          \
                             ::vantorel::SimdLevelTestName)

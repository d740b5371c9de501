#include "objects/bonus.hpp"

#include "objects/object_world.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using testing_objects::TObjectWorld;

class Bonuses : public TObjectWorld {};

TEST_F(Bonuses, DriftWithTheGroundAndArePushedByShots) {
    Pools.AddBonus(500, 300, 9, 0);
    TBonus& bonus = *Pools.Bonus(1);
    Frame();
    EXPECT_DOUBLE_EQ(bonus.X, 496);
    bonus.Push();
    Frame();
    EXPECT_DOUBLE_EQ(bonus.X, 498);
    // The push lasts about 300 ms; kept up, it holds the bonus on screen.
    for (int32_t i = 0; i < 30; ++i)
        Frame();
    EXPECT_EQ(bonus.PushSpeed, 0);
    const double x = bonus.X;
    for (int32_t i = 0; i < 100; ++i) {
        bonus.Push();
        Frame();
    }
    EXPECT_DOUBLE_EQ(bonus.X, x + 200);
}

} // namespace
} // namespace vantorel

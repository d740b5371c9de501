#include "objects/bonus.hpp"

#include "objects/object_world.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using testing_objects::TObjectWorld;

TEST(BonusMaps, IndexAndKindAreInverse) {
    const struct {
        int32_t index, kind;
        const char* picture;
    } cases[] = {
        {1, 0, "BonusLaserGun"},     {2, 1, "BonusPlasmaGun"},    {3, 2, "BonusRocketGun"},
        {4, 3, "BonusRailGun"},      {5, 4, "BonusShield"},       {6, 7, "BonusLaserGun_2x"},
        {7, 8, "BonusPlasmaGun_3x"}, {8, 9, "BonusRocketGun_2x"}, {9, 5, "BonusMegaBomb"},
        {10, 6, "BonusLife"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BonusKindOfIndex(c.index), c.kind) << c.index;
        EXPECT_EQ(BonusIndexOfKind(c.kind), c.index) << c.kind;
        EXPECT_STREQ(TBonus::PictureOfKind(c.kind), c.picture) << c.kind;
    }
    EXPECT_EQ(BonusKindOfIndex(0), -1);
    EXPECT_EQ(BonusKindOfIndex(11), -1);
    EXPECT_EQ(BonusIndexOfKind(-1), 0);
    EXPECT_EQ(BonusIndexOfKind(10), 0);
}

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

#include "objects/object_kinds.hpp"

#include "objects/data_catalogue.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantorel {
namespace {

bool Lists(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The numbers are those of the level configurations and the spawners.
TEST(ObjectKinds, KeepTheirNumbersAndRefuseOthers) {
    for (int32_t n = 0; n < 6; ++n)
        EXPECT_EQ(static_cast<int32_t>(MonsterKindOf(n).value()), n);
    for (int32_t n = 0; n < 10; ++n)
        EXPECT_EQ(static_cast<int32_t>(BonusKindOf(n).value()), n);
    for (int32_t n = 0; n < 2; ++n)
        EXPECT_EQ(static_cast<int32_t>(GunKindOf(n).value()), n);
    for (int32_t n : {-1, 6})
        EXPECT_FALSE(MonsterKindOf(n)) << n;
    for (int32_t n : {-1, 10})
        EXPECT_FALSE(BonusKindOf(n)) << n;
    for (int32_t n : {-1, 2})
        EXPECT_FALSE(GunKindOf(n)) << n;
    EXPECT_STREQ(TraitsOf(TMonsterKind::Truck).Picture, "Truck");
    EXPECT_EQ(TraitsOf(TMonsterKind::Mega).HitPoints, 100);
    EXPECT_EQ(TraitsOf(TBonusKind::Life).Index, 10);
    EXPECT_STREQ(TraitsOf(TGunKind::Rocket).Barrel, "GroundRocketTrunk");
}

// The bonus index is the player's weapon slot and the spawners' order; each
// index names one kind and comes back from it.
TEST(ObjectKinds, BonusIndexesAndKindsAreInverse) {
    const struct {
        int32_t index;
        TBonusKind kind;
        const char* picture;
    } cases[] = {
        {1, TBonusKind::LaserGun, "BonusLaserGun"},
        {2, TBonusKind::PlasmaGun, "BonusPlasmaGun"},
        {3, TBonusKind::RocketGun, "BonusRocketGun"},
        {4, TBonusKind::RailGun, "BonusRailGun"},
        {5, TBonusKind::Shield, "BonusShield"},
        {6, TBonusKind::LaserGun2x, "BonusLaserGun_2x"},
        {7, TBonusKind::PlasmaGun3x, "BonusPlasmaGun_3x"},
        {8, TBonusKind::RocketGun2x, "BonusRocketGun_2x"},
        {9, TBonusKind::MegaBomb, "BonusMegaBomb"},
        {10, TBonusKind::Life, "BonusLife"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BonusKindOfIndex(c.index), c.kind) << "index " << c.index;
        EXPECT_EQ(TraitsOf(c.kind).Index, c.index) << "index " << c.index;
        EXPECT_STREQ(TraitsOf(c.kind).Picture, c.picture) << "index " << c.index;
    }
    EXPECT_FALSE(BonusKindOfIndex(0));
    EXPECT_FALSE(BonusKindOfIndex(11));
}

// Start-up checks the catalogue against the libraries (main_window_test); every
// name a kind shows or plays must be in it, or a bad library fails mid-game.
TEST(ObjectKinds, EveryNameAKindUsesIsInTheCatalogue) {
    const std::vector<std::string>& pictures = WorldPictureNames();
    for (TMonsterKind kind : AllMonsterKinds()) {
        EXPECT_TRUE(Lists(pictures, TraitsOf(kind).Picture)) << TraitsOf(kind).Picture;
        EXPECT_TRUE(Lists(SoundNames(), TraitsOf(kind).ExplosionSound));
    }
    for (TBonusKind kind : AllBonusKinds())
        EXPECT_TRUE(Lists(pictures, TraitsOf(kind).Picture)) << TraitsOf(kind).Picture;
    for (TGunKind kind : AllGunKinds()) {
        const TGunTraits& gun = TraitsOf(kind);
        EXPECT_TRUE(Lists(pictures, gun.Base)) << gun.Base;
        EXPECT_TRUE(Lists(pictures, gun.Barrel)) << gun.Barrel;
        if (gun.Flash != nullptr) {
            EXPECT_TRUE(Lists(pictures, gun.Flash)) << gun.Flash;
        }
    }
    std::vector<std::string> sorted = pictures;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "a name twice";
}

} // namespace
} // namespace vantorel

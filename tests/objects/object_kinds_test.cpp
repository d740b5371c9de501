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

#include "objects/monster_behaviour.hpp"

#include "objects/monster.hpp"

#include <tuple>

namespace vantorel {

namespace {

using enum TBulletKind;
constexpr TRoll kFixed0 = {0, 0};

// Shots: from, depth above, speed, angle, bullet, on a coin toss, muzzle shown,
// carries the slot.

constexpr TMonsterOffset kCosmoStormFlames[] = {{48, -14}};
constexpr TMonsterMuzzle kCosmoStormMuzzles[] = {{"LaserFireR", {-30, -12}, 0}};
constexpr TMonsterShot kCosmoStormVolley[] = {{{-25, 17}, 0, -7, kFixed0, Laser, false, 0, false}};

constexpr TMonsterMuzzle kUFOMuzzles[] = {{"PlasmaFireR", {-31, 0}, 0}};
constexpr TMonsterShot kUFOVolley[] = {{{-42, 0}, 0, -6, kFixed0, Plasma, false, 0, false}};

constexpr TMonsterOffset kRocketerFlames[] = {{67, -14}, {67, 2}};
constexpr TMonsterShot kRocketerVolley[] = {{{17, 26}, 0, 3, {-128, 0}, Rocket, false, -1, false}};

constexpr TMonsterOffset kTruckFlames[] = {
    {117, -27}, {117, -15}, {137, -10}, {135, 4}, {137, 19},
};

constexpr TMonsterOffset kDestroyerFlames[] = {{5, -23}};

constexpr TMonsterOffset kMegaFlames[] = {{128, 3}, {128, 39}};
constexpr TMonsterMuzzle kMegaMuzzles[] = {{"PlasmaFireR", {20, 5}, 1},
                                           {"PlasmaFireR", {22, 36}, 1}};
/// Every gun fires on its own toss: two rockets, two plasma guns spraying +-32
/// and a rail.
constexpr TMonsterShot kMegaVolley[] = {
    {{98, 14}, 1, 2, {-128, 0}, Rocket, true, -1, false},
    {{98, 69}, 1, 2, {-128, 0}, Rocket, true, -1, false},
    {{45, 36}, 1, -5, {-32, 64}, Plasma, true, 0, false},
    {{13, 35}, 1, -5, {-32, 64}, Plasma, true, 1, false},
    {{-39, 46}, 1, -10, kFixed0, Rail, true, -1, true},
};

/// The heights a kind keeps to: the middle of the sky, or all of it above the ground.
constexpr TMonsterBand kMiddleBand = {100, 400};
constexpr TMonsterBand kWholeBand = {75, 550};

using enum TMonsterKind;
using enum TFlightPattern;

/// By TMonsterKind. A row: kind, entry height, VX, VY, ammunition, random turns,
/// band, pattern; then flames, muzzles, volley, launch, fire cooldown. {} is none.
// clang-format off
constexpr TMonsterBehaviour kBehaviours[] = {
    {CosmoStorm, TRoll{75, 405},  {-5, 0}, kFixed0, {10, 0},  false, {},          Straight,
     kCosmoStormFlames, kCosmoStormMuzzles, kCosmoStormVolley, {}, 500},
    {UFO,        TRoll{175, 165}, {-2, 0}, kFixed0, {10, 0},  false, {},          Wave,
     {}, kUFOMuzzles, kUFOVolley, {}, 1500},
    {Rocketer,   TRoll{100, 300}, {-2, 0}, {-2, 4}, {5, 0},   true,  kMiddleBand, Straight,
     kRocketerFlames, {}, kRocketerVolley, {}, 1500},
    {Truck,      TRoll{100, 300}, {-1, 0}, {-2, 4}, {1, 10},  false, kWholeBand,  StopAndGo,
     kTruckFlames, {}, {}, TMonsterLaunch{Destroyer, {100, 80}}, 500},
    {Destroyer,  {},              {-3, 2}, {-2, 4}, kFixed0,  true,  kWholeBand,  Straight,
     kDestroyerFlames, {}, {}, {}, 0},
    {Mega,       TRoll{100, 300}, {-2, 0}, kFixed0, {100, 0}, false, {},          Wander,
     kMegaFlames, kMegaMuzzles, kMegaVolley, {}, 1000},
};
// clang-format on

/// Every kind has its row in its place, and every flame, muzzle and shot fits the
/// monster's companions.
constexpr bool RowsFit() {
    constexpr size_t flameRoom = std::tuple_size_v<decltype(TMonster::Flames)>;
    constexpr size_t muzzleRoom = std::tuple_size_v<decltype(TMonster::Muzzles)>;
    size_t index = 0;
    for (const TMonsterBehaviour& row : kBehaviours) {
        if (static_cast<size_t>(row.Kind) != index++)
            return false;
        if (row.Flames.size() > flameRoom || row.Muzzles.size() > muzzleRoom)
            return false;
        for (const TMonsterShot& shot : row.Volley)
            if (shot.Muzzle >= static_cast<int32_t>(row.Muzzles.size()))
                return false;
    }
    return index == static_cast<size_t>(TMonsterKind::Mega) + 1;
}
static_assert(RowsFit());

} // namespace

const TMonsterBehaviour& BehaviourOf(TMonsterKind kind) {
    return kBehaviours[static_cast<size_t>(kind)];
}

} // namespace vantorel

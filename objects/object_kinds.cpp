#include "objects/object_kinds.hpp"

namespace vantorel {

namespace {

/// By TMonsterKind.
constexpr TMonsterTraits kMonsters[] = {
    {"CosmoStorm", 1, "Explosion2"}, {"UFO", 2, "Explosion2"},       {"Rocketer", 4, "Explosion2"},
    {"Truck", 30, "Explosion2"},     {"Destroyer", 1, "Explosion2"}, {"Mega", 100, "Explosion1"},
};

/// By TBonusKind.
constexpr TBonusTraits kBonuses[] = {
    {"BonusLaserGun", 1},     {"BonusPlasmaGun", 2},   {"BonusRocketGun", 3},
    {"BonusRailGun", 4},      {"BonusShield", 5},      {"BonusMegaBomb", 9},
    {"BonusLife", 10},        {"BonusLaserGun_2x", 6}, {"BonusPlasmaGun_3x", 7},
    {"BonusRocketGun_2x", 8},
};

/// By TGunKind.
constexpr TGunTraits kGuns[] = {
    {"GroundGunBase", "GroundGunTrunk", 37, 63, 6, TBulletKind::Plasma, "PlasmaFire"},
    {"GroundRocketBase", "GroundRocketTrunk", 30, 78, 5, TBulletKind::Rocket, nullptr},
};

constexpr TMonsterKind kMonsterKinds[] = {TMonsterKind::CosmoStorm, TMonsterKind::UFO,
                                          TMonsterKind::Rocketer,   TMonsterKind::Truck,
                                          TMonsterKind::Destroyer,  TMonsterKind::Mega};
constexpr TBonusKind kBonusKinds[] = {
    TBonusKind::LaserGun,    TBonusKind::PlasmaGun,  TBonusKind::RocketGun, TBonusKind::RailGun,
    TBonusKind::Shield,      TBonusKind::MegaBomb,   TBonusKind::Life,      TBonusKind::LaserGun2x,
    TBonusKind::PlasmaGun3x, TBonusKind::RocketGun2x};
constexpr TGunKind kGunKinds[] = {TGunKind::Plasma, TGunKind::Rocket};

static_assert(std::size(kMonsters) == std::size(kMonsterKinds));
static_assert(std::size(kBonuses) == std::size(kBonusKinds));
static_assert(std::size(kGuns) == std::size(kGunKinds));

template <typename Kind, size_t N>
std::optional<Kind> KindOf(const Kind (&kinds)[N], int32_t number) {
    if (number < 0 || static_cast<size_t>(number) >= N)
        return std::nullopt;
    return kinds[static_cast<size_t>(number)];
}

} // namespace

const TMonsterTraits& TraitsOf(TMonsterKind kind) {
    return kMonsters[static_cast<size_t>(kind)];
}
const TBonusTraits& TraitsOf(TBonusKind kind) {
    return kBonuses[static_cast<size_t>(kind)];
}
const TGunTraits& TraitsOf(TGunKind kind) {
    return kGuns[static_cast<size_t>(kind)];
}

std::span<const TMonsterKind> AllMonsterKinds() {
    return kMonsterKinds;
}
std::span<const TBonusKind> AllBonusKinds() {
    return kBonusKinds;
}
std::span<const TGunKind> AllGunKinds() {
    return kGunKinds;
}

std::optional<TMonsterKind> MonsterKindOf(int32_t number) {
    return KindOf(kMonsterKinds, number);
}
std::optional<TBonusKind> BonusKindOf(int32_t number) {
    return KindOf(kBonusKinds, number);
}
std::optional<TGunKind> GunKindOf(int32_t number) {
    return KindOf(kGunKinds, number);
}

std::optional<TBonusKind> BonusKindOfIndex(int32_t index) {
    for (TBonusKind kind : kBonusKinds)
        if (TraitsOf(kind).Index == index)
            return kind;
    return std::nullopt;
}

} // namespace vantorel

#include "tools/artgen/catalogue.hpp"

#include "tools/artgen/effects.hpp"
#include "tools/artgen/landscape.hpp"

namespace vantorel::artgen {

namespace {

TArtImage Hills1() {
    return MakeHills(1);
}
TArtImage Hills2() {
    return MakeHills(2);
}
TArtImage Hills3() {
    return MakeHills(3);
}

} // namespace

const std::vector<TProceduralPicture>& Catalogue() {
    static const std::vector<TProceduralPicture> pictures{
        {"SkyTile", 160, 600, 1, 1, true, MakeSkyTile},
        {"Hills1", 800, 115, 1, 1, false, Hills1},
        {"Hills2", 800, 105, 1, 1, false, Hills2},
        {"Hills3", 800, 102, 1, 1, false, Hills3},
        {"Explosion", 96, 96, kExplosionFrames, 8, false, MakeExplosion},
        {"PlasmaExplosion", 48, 48, kPlasmaExplosionFrames, 8, false, MakePlasmaExplosion},
        {"EngineFire", 32, 64, kEngineFireFrames, 4, false, MakeEngineFire},
        {"EngineFireR", 32, 64, kEngineFireFrames, 4, false, MakeEngineFireR},
        {"LaserFire", 48, 60, kMuzzleFrames, 5, false, MakeLaserFire},
        {"PlasmaFire", 48, 60, kMuzzleFrames, 5, false, MakePlasmaFire},
        {"LaserFireR", 40, 40, kMuzzleFrames, 5, false, MakeLaserFireR},
        {"PlasmaFireR", 40, 40, kMuzzleFrames, 5, false, MakePlasmaFireR},
        {"PlayerShield", 30, 60, kShieldFrames, 2, false, MakePlayerShield},
        {"PlasmaBullet", 20, 20, kPlasmaBulletFrames, 4, false, MakePlasmaBullet},
        {"RailBullet", 24, 6, kRailFrames, 1, false, MakeRailBullet},
        {"RailBulletR", 24, 6, kRailFrames, 1, false, MakeRailBulletR},
        {"RailBulletBody", 24, 6, kRailFrames, 1, false, MakeRailBulletBody},
    };
    return pictures;
}

const TProceduralPicture* FindPicture(const std::string& name) {
    for (const TProceduralPicture& p : Catalogue())
        if (p.Name == name)
            return &p;
    return nullptr;
}

} // namespace vantorel::artgen

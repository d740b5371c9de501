// Animated effects of the world library: explosions, engine flames, muzzle
// flashes, the shield and the energy shots. Each returns all its frames laid out
// as patterns, row by row. Glows are cut to hard colour-keyed edges, darkened
// towards the rim so they never end in a bright fringe.
#pragma once

#include "tools/artgen/art_image.hpp"

namespace vantorel::artgen {

inline constexpr int kExplosionFrames = 16;
inline constexpr int kPlasmaExplosionFrames = 8;
inline constexpr int kEngineFireFrames = 4;
inline constexpr int kMuzzleFrames = 5;
inline constexpr int kShieldFrames = 2;
inline constexpr int kPlasmaBulletFrames = 4;
inline constexpr int kRailFrames = 2;

/// 96x96: a fireball swelling from a white-hot core through orange and red, then
/// dark smoke that rises and thins away. Shown once.
TArtImage MakeExplosion();
/// 48x48: a blue-white burst with a shock ring and sparks. Shown once.
TArtImage MakePlasmaExplosion();
/// 32x64: the player's exhaust, pointing left from its root at (25, 33); the
/// rocket's exhaust turns about that point.
TArtImage MakeEngineFire();
/// 32x64: the enemies' exhaust, blowing right from its root at (6, 33) (the
/// mirror of EngineFire, so the enemies' flame offsets land on their engines).
TArtImage MakeEngineFireR();
/// 48x60: the player's muzzle flashes. The laser flash blooms from (30, 32)
/// (in front of the ship's nose), the plasma flash from (26, 12) (where the plasma
/// ball is born). Both point right. Played once.
TArtImage MakeLaserFire();
TArtImage MakePlasmaFire();
/// 40x40: the enemies' muzzle flashes, pointing left from (31, 31) for the laser
/// and (31, 12) for the plasma.
TArtImage MakeLaserFireR();
TArtImage MakePlasmaFireR();
/// 30x60: a glowing arc in front of the ship, curving round the ship's centre.
TArtImage MakePlayerShield();
/// 20x20: the pulsing plasma ball.
TArtImage MakePlasmaBullet();
/// 24x6 beam heads: the player's points right, the enemies' left; both join the
/// 24x6 body segment, which repeats seamlessly left-right.
TArtImage MakeRailBullet();
TArtImage MakeRailBulletR();
TArtImage MakeRailBulletBody();

} // namespace vantorel::artgen

// The landscape pictures: the dusk sky tile and the three hill layers. Each wraps
// left-right exactly: every noise they sample repeats over the picture's width.
#pragma once

#include "tools/artgen/art_image.hpp"

namespace vantorel::artgen {

/// The opaque 160x600 sky tile: night blue at the top, a warm sunset glow low
/// down, streaks of cloud lit from below, a few stars.
TArtImage MakeSkyTile();

/// Hill layer 1 (front, the ground the turrets stand on), 2 or 3 (furthest).
/// Sizes 800x115, 800x105, 800x102; above the ridge the picture is transparent.
TArtImage MakeHills(int layer);

/// The sky's colour at height y of the screen (before clouds); the hills fade
/// towards it with distance.
TColor SkyColorAt(float y);

} // namespace vantorel::artgen

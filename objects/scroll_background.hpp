// A strip of repeated tiles that scrolls at a constant speed and wraps without a
// seam: the sky, and the three hill layers of a game whose different speeds give
// the parallax. The front hill layer's speed is the speed of the ground.
#pragma once

#include "engine/background_sprite.hpp"

#include <cstdint>
#include <string>

namespace vantorel {

struct TGameContext;
struct TGameSprites;

/// The ground's speed in pixels per frame at 85 fps: the front hill layer's
/// ScrollX, or -4 (its speed in a game) while no hills exist.
int32_t GroundSpeed(const TGameSprites& sprites);

class TScrollBackground : public TBackgroundSprite {
public:
    /// A map of mapWidth x mapHeight tiles of picture imageName from library
    /// imageListNo (1 or 2), at (0, 0) with Z 2, standing still. A child of the
    /// engine root, owned by the engine; removed with Kill.
    TScrollBackground(TGameContext& context, uint8_t imageListNo, const std::string& imageName,
                      int32_t mapWidth, int32_t mapHeight);

    /// Shows picture name of the library ImageListNo (another number assigns
    /// nothing); Width and Height become one tile's size.
    void SetImageByName(const std::string& name);
    /// Switches library, then picture.
    void ChangeImage(const std::string& name, uint8_t imageListNo);
    /// Marks the background dead once.
    void Kill();
    bool Killed() const { return killed_; }

    /// Scrolls by ScrollX, ScrollY x FrameFactor; X jumps forward by one tile
    /// width whenever it falls below minus one tile width.
    void MoveSelf(int32_t moveCount) override;
    /// The tiles; outside a game also the still picture of the menus.
    void DrawSelf() override;

    uint8_t ImageListNo = 0;
    /// Pixels per frame at 85 fps; negative scrolls left.
    int32_t ScrollX = 0;
    int32_t ScrollY = 0;

private:
    TGameContext& context_;
    bool killed_ = false;
};

} // namespace vantorel

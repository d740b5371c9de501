// A sprite that paints a grid of picture patterns: the map of a scrolling
// landscape layer.
#pragma once

#include "engine/geometry.hpp"
#include "engine/sprite.hpp"

#include <cstdint>
#include <vector>

namespace vantorel {

class TPictureCollectionItem;

/// A map of MapWidth x MapHeight cells, each showing one pattern of Image()
/// (a negative pattern shows nothing) and flagged solid or not for HitTest.
/// Created with CanCollide false. With Tiled set, the map repeats over the whole
/// surface in both directions.
class TBackgroundSprite : public TSprite {
public:
    explicit TBackgroundSprite(TSprite* parent);
    ~TBackgroundSprite() override;

    /// Sets the picture; Width and Height become the whole map's size in pixels.
    void SetImage(TPictureCollectionItem* item);
    TPictureCollectionItem* Image() const { return image_; }

    /// Resizes the map (a size <= 0 either way empties it); every cell becomes
    /// pattern 0 and solid. Width and Height are not changed. Same size: no-op.
    void SetMapSize(int32_t mapWidth, int32_t mapHeight);
    int32_t MapWidth() const { return mapWidth_; }
    int32_t MapHeight() const { return mapHeight_; }

    /// Pattern of the cell at column c, row r; -1 outside the map.
    int32_t Cells(int32_t c, int32_t r) const;
    /// Writes a cell's pattern; ignored outside the map.
    void SetCells(int32_t c, int32_t r, int32_t pattern);
    /// Solid flag of the cell at column c, row r; false outside the map.
    bool CellSolid(int32_t c, int32_t r) const;
    /// Writes a cell's solid flag; ignored outside the map.
    void SetCellSolid(int32_t c, int32_t r, bool solid);

    /// Paints the cells that fall on the engine's surface, rows top to bottom.
    void DrawSelf() override;
    /// The engine's SurfaceRect when Tiled; else the map's rectangle, or the
    /// empty rectangle without an image.
    TRect GetBounds() const override;
    /// True when a solid cell overlaps other's bounds; always true without a
    /// usable image or with an empty map.
    bool HitTest(TSprite& other) override;

    /// The map repeats over the whole surface.
    bool Tiled = false;

private:
    /// Pattern 0's size when the image can be drawn; false otherwise.
    bool TileSize(int32_t& w, int32_t& h) const;

    TPictureCollectionItem* image_ = nullptr;
    std::vector<uint8_t> cellSolid_;
    std::vector<int32_t> cells_;
    int32_t mapWidth_ = 0;
    int32_t mapHeight_ = 0;
};

} // namespace vantorel

#include "engine/background_sprite.hpp"

#include "engine/image_library.hpp"
#include "engine/sprite_engine.hpp"

#include <algorithm>

namespace vantorel {

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent) {
    CanCollide = false;
}

TBackgroundSprite::~TBackgroundSprite() {
    SetMapSize(0, 0);
}

void TBackgroundSprite::SetImage(TPictureCollectionItem* item) {
    image_ = item;
    Width = image_ != nullptr ? image_->Width() * mapWidth_ : 0;
    Height = image_ != nullptr ? image_->Height() * mapHeight_ : 0;
}

void TBackgroundSprite::SetMapSize(int32_t mapWidth, int32_t mapHeight) {
    if (mapWidth == mapWidth_ && mapHeight == mapHeight_)
        return;
    if (mapWidth <= 0 || mapHeight <= 0) {
        mapWidth = 0;
        mapHeight = 0;
    }
    mapWidth_ = mapWidth;
    mapHeight_ = mapHeight;
    const size_t cells = static_cast<size_t>(mapWidth) * static_cast<size_t>(mapHeight);
    cells_.assign(cells, 0);
    cellSolid_.assign(cells, 1);
}

int32_t TBackgroundSprite::Cells(int32_t c, int32_t r) const {
    if (c < 0 || c >= mapWidth_ || r < 0 || r >= mapHeight_)
        return -1;
    return cells_[static_cast<size_t>(c) + static_cast<size_t>(r) * static_cast<size_t>(mapWidth_)];
}

void TBackgroundSprite::SetCells(int32_t c, int32_t r, int32_t pattern) {
    if (c < 0 || c >= mapWidth_ || r < 0 || r >= mapHeight_)
        return;
    cells_[static_cast<size_t>(c) + static_cast<size_t>(r) * static_cast<size_t>(mapWidth_)] =
        pattern;
}

bool TBackgroundSprite::CellSolid(int32_t c, int32_t r) const {
    if (c < 0 || c >= mapWidth_ || r < 0 || r >= mapHeight_)
        return false;
    return cellSolid_[static_cast<size_t>(c) +
                      static_cast<size_t>(r) * static_cast<size_t>(mapWidth_)] != 0;
}

void TBackgroundSprite::SetCellSolid(int32_t c, int32_t r, bool solid) {
    if (c < 0 || c >= mapWidth_ || r < 0 || r >= mapHeight_)
        return;
    cellSolid_[static_cast<size_t>(c) + static_cast<size_t>(r) * static_cast<size_t>(mapWidth_)] =
        solid ? 1 : 0;
}

bool TBackgroundSprite::TileSize(int32_t& w, int32_t& h) const {
    if (image_ == nullptr || image_->PatternCount() <= 0)
        return false;
    const TRect tile = image_->PatternRect(0);
    w = tile.Width();
    h = tile.Height();
    return w > 0 && h > 0;
}

void TBackgroundSprite::DrawSelf() {
    int32_t w = 0;
    int32_t h = 0;
    if (!TileSize(w, h) || mapWidth_ <= 0 || mapHeight_ <= 0)
        return;
    if (Engine() == nullptr || Engine()->Surface() == nullptr)
        return;
    TDirectDrawSurface* surface = Engine()->Surface();
    const TRect& surfaceRect = Engine()->SurfaceRect();

    // Enough tiles to cover the surface with one to spare on each side.
    const int32_t nx = (surfaceRect.Right + w) / w + 1;
    const int32_t ny = (surfaceRect.Bottom + h) / h + 1;
    const int32_t px = RoundHalfEven(AbsoluteX());
    const int32_t py = RoundHalfEven(AbsoluteY());
    const int32_t ox = px % w;
    const int32_t oy = py % h;
    int32_t cx = px / w;
    int32_t cy = py / h;
    int32_t skipX = 0;
    int32_t skipY = 0;
    if (cx < 0) {
        skipX = -cx;
        cx = 0;
    }
    if (cy < 0) {
        skipY = -cy;
        cy = 0;
    }

    if (!Tiled) {
        const int32_t endX = std::min(cx + mapWidth_ - skipX, nx);
        const int32_t endY = std::min(cy + mapHeight_ - skipY, ny);
        for (int32_t j = cy; j < endY; ++j) {
            for (int32_t i = cx; i < endX; ++i) {
                const int32_t p = Cells(i + skipX - cx, j + skipY - cy);
                if (p >= 0)
                    image_->Draw(surface, i * w + ox, j * h + oy, p);
            }
        }
    } else {
        for (int32_t j = -1; j <= ny; ++j) {
            for (int32_t i = -1; i <= nx; ++i) {
                const int32_t p = Cells(WrapInto(i + skipX - cx, mapWidth_),
                                        WrapInto(j + skipY - cy, mapHeight_));
                if (p >= 0)
                    image_->Draw(surface, i * w + ox, j * h + oy, p);
            }
        }
    }
}

TRect TBackgroundSprite::GetBounds() const {
    if (Tiled)
        return Engine() != nullptr ? Engine()->SurfaceRect() : TRect{};
    if (image_ == nullptr)
        return TRect{};
    return Bounds(RoundHalfEven(AbsoluteX()), RoundHalfEven(AbsoluteY()),
                  image_->Width() * mapWidth_, image_->Height() * mapHeight_);
}

bool TBackgroundSprite::HitTest(TSprite& other) {
    int32_t w = 0;
    int32_t h = 0;
    if (!TileSize(w, h) || mapWidth_ <= 0 || mapHeight_ <= 0)
        return true;

    TRect r = other.GetBounds();
    TRect i = Intersect(r, GetBounds());
    const int32_t ax = RoundHalfEven(AbsoluteX());
    const int32_t ay = RoundHalfEven(AbsoluteY());
    r = {r.Left - ax, r.Top - ay, r.Right - ax, r.Bottom - ay};
    i = {i.Left - ax, i.Top - ay, i.Right - ax, i.Bottom - ay};

    for (int32_t y = (i.Top - h + 1) / h; y <= i.Bottom / h; ++y) {
        for (int32_t x = (i.Left - w + 1) / w; x <= i.Right / w; ++x) {
            if (CellSolid(WrapInto(x, mapWidth_), WrapInto(y, mapHeight_)) &&
                Overlap(Bounds(x * w, y * h, w, h), r)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace vantorel

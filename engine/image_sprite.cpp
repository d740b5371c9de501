#include "engine/image_sprite.hpp"

#include "engine/image_library.hpp"
#include "engine/sprite_engine.hpp"
#include "engine/surface.hpp"

#include <algorithm>
#include <cmath>

namespace vantorel {

TImageSprite::TImageSprite(TSprite* parent) : TSprite(parent) {}

void TImageSprite::SetImage(TPictureCollectionItem* item) {
    image_ = item;
    if (image_ != nullptr) {
        Width = image_->Width();
        Height = image_->Height();
    } else {
        Width = 0;
        Height = 0;
    }
}

int32_t TImageSprite::DrawFrame() const {
    return RoundHalfEven(AnimPosition) + AnimFirstFrame;
}

TRect TImageSprite::DrawRect() const {
    const TRect b = GetBounds();
    const int32_t imageWidth = image_ != nullptr ? image_->Width() : 0;
    const int32_t imageHeight = image_ != nullptr ? image_->Height() : 0;
    const int32_t dx = (Width - imageWidth) / 2;
    const int32_t dy = (Height - imageHeight) / 2;
    return {b.Left + dx, b.Top + dy, b.Right + dx, b.Bottom + dy};
}

void TImageSprite::DrawSelf() {
    if (image_ == nullptr || Engine() == nullptr || Engine()->Surface() == nullptr)
        return;
    const TRect r = DrawRect();
    image_->Draw(Engine()->Surface(), r.Left, r.Top, DrawFrame());
}

void TImageSprite::MoveSelf(int32_t moveCount) {
    AnimPosition += AnimSpeed * moveCount;
    if (AnimLoop) {
        if (AnimFrameCount > 0) {
            const double count = AnimFrameCount;
            AnimPosition -= std::nearbyint(AnimPosition / count) * count;
            if (AnimPosition < 0)
                AnimPosition += count;
            // A tiny negative remainder can round up to the count itself.
            if (AnimPosition >= count)
                AnimPosition = 0;
        } else {
            AnimPosition = 0;
        }
    } else {
        if (AnimPosition >= AnimFrameCount) {
            AnimPosition = AnimFrameCount - 1;
            AnimSpeed = 0;
        }
        if (AnimPosition < 0) {
            AnimPosition = 0;
            AnimSpeed = 0;
        }
    }
}

TRect TImageSprite::GetBounds() const {
    int32_t x = RoundHalfEven(AbsoluteX());
    int32_t y = RoundHalfEven(AbsoluteY());
    if (Tiled) {
        const TRect surface = Engine() != nullptr ? Engine()->SurfaceRect() : TRect{};
        // Without a surface and without a size there is nothing to wrap around.
        const int32_t mx = surface.Right + Width;
        const int32_t my = surface.Bottom + Height;
        if (mx > 0) {
            x = WrapInto(x, mx);
            if (x > surface.Right)
                x -= mx;
        }
        if (my > 0) {
            y = WrapInto(y, my);
            if (y > surface.Bottom)
                y -= my;
        }
    }
    return {x, y, x + Width, y + Height};
}

bool TImageSprite::HitTest(TSprite& other) {
    if (!PixelCollision)
        return true;
    auto* o = dynamic_cast<TImageSprite*>(&other);
    if (o == nullptr)
        return true;

    const auto pattern = [](const TImageSprite& s, TRect& rect) -> const TDirectDrawSurface* {
        if (s.image_ == nullptr) {
            rect = TRect{};
            return nullptr;
        }
        const int32_t frame = s.DrawFrame();
        rect = s.image_->PatternRect(frame);
        return s.image_->PatternSurface(frame);
    };
    TRect rect1;
    TRect rect2;
    const TDirectDrawSurface* surface1 = pattern(*this, rect1);
    const TDirectDrawSurface* surface2 = pattern(*o, rect2);
    const TRect at1 = DrawRect();
    const TRect at2 = o->DrawRect();
    return PatternsOverlap(surface1, rect1, at1.Left, at1.Top, surface2, rect2, at2.Left, at2.Top);
}

bool PatternsOverlap(const TDirectDrawSurface* surface1, const TRect& srcRect1, int32_t x1,
                     int32_t y1, const TDirectDrawSurface* surface2, const TRect& srcRect2,
                     int32_t x2, int32_t y2) {
    const int32_t w1 = srcRect1.Width();
    const int32_t h1 = srcRect1.Height();
    const int32_t w2 = srcRect2.Width();
    const int32_t h2 = srcRect2.Height();
    const bool overlap = Overlap(TRect{0, 0, w1, h1}, Bounds(x2 - x1, y2 - y1, w2, h2));
    if (!overlap || surface1 == nullptr || surface2 == nullptr)
        return overlap;

    TRect area1 =
        Intersect(Bounds(std::max(x2 - x1, 0), std::max(y2 - y1, 0), w1, h1), TRect{0, 0, w1, h1});
    TRect area2 =
        Intersect(Bounds(std::max(x1 - x2, 0), std::max(y1 - y2, 0), w2, h2), TRect{0, 0, w2, h2});
    const int32_t w = std::min(area1.Width(), area2.Width());
    const int32_t h = std::min(area1.Height(), area2.Height());
    area1 = Bounds(area1.Left + srcRect1.Left, area1.Top + srcRect1.Top, w, h);
    area2 = Bounds(area2.Left + srcRect2.Left, area2.Top + srcRect2.Top, w, h);

    TSurfaceLock lock1;
    TSurfaceLock lock2;
    if (!surface1->Lock(area1, lock1))
        return false;
    if (!surface2->Lock(area2, lock2)) {
        surface1->Unlock();
        return false;
    }
    const auto unlock = [&] {
        surface2->Unlock();
        surface1->Unlock();
    };
    if (surface1->BitCount() != surface2->BitCount()) {
        unlock();
        return true;
    }
    const TPixel key1 = surface1->ColorKey();
    const TPixel key2 = surface2->ColorKey();
    for (int32_t row = 0; row < h; ++row) {
        const TPixel* p1 = lock1.Bits + static_cast<std::ptrdiff_t>(row) * lock1.Pitch;
        const TPixel* p2 = lock2.Bits + static_cast<std::ptrdiff_t>(row) * lock2.Pitch;
        for (int32_t col = 0; col < w; ++col) {
            if (p1[col] != key1 && p2[col] != key2) {
                unlock();
                return true;
            }
        }
    }
    unlock();
    return false;
}

} // namespace vantorel

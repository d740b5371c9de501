// A sprite that shows one pattern of a picture and animates through its patterns.
#pragma once

#include "engine/geometry.hpp"
#include "engine/sprite.hpp"

#include <cstdint>

namespace vantorel {

class TDirectDrawSurface;
class TPictureCollectionItem;

/// Draws pattern DrawFrame() of Image() centred in its Width x Height bounds.
/// The animation runs in MoveSelf: AnimPosition advances by AnimSpeed per unit
/// of MoveCount and wraps (AnimLoop) or stops at the last frame.
class TImageSprite : public TSprite {
public:
    explicit TImageSprite(TSprite* parent);

    /// Sets the picture; Width and Height become its pattern size (0 x 0 for
    /// none). The animation fields are left alone.
    virtual void SetImage(TPictureCollectionItem* item);
    TPictureCollectionItem* Image() const { return image_; }

    /// AnimPosition rounded (halves to even) plus AnimFirstFrame.
    int32_t DrawFrame() const;
    /// GetBounds shifted by half the difference between the bounds and the
    /// pattern size (each half truncated toward zero): where the pattern is drawn.
    TRect DrawRect() const;

    void DrawSelf() override;
    void MoveSelf(int32_t moveCount) override;
    /// As TSprite's, but a Tiled sprite wraps around the engine's surface so that
    /// it is seen entering on one side as it leaves on the other.
    TRect GetBounds() const override;
    /// True unless PixelCollision is set and other is a TImageSprite; then the
    /// opaque pixels of both drawn patterns must meet.
    bool HitTest(TSprite& other) override;

    /// Frames in the animation cycle.
    int32_t AnimFrameCount = 0;
    /// The position wraps around instead of stopping at the last frame.
    bool AnimLoop = false;
    /// Position in the cycle, in frames.
    double AnimPosition = 0;
    /// Frames advanced per unit of MoveCount (per millisecond in the game).
    double AnimSpeed = 0;
    /// Pattern index of frame 0 of the cycle.
    int32_t AnimFirstFrame = 0;
    /// HitTest compares pixels instead of trusting the bounds.
    bool PixelCollision = false;
    /// The sprite wraps around the surface.
    bool Tiled = false;

private:
    TPictureCollectionItem* image_ = nullptr;
};

/// The pixel test of two drawn patterns: srcRect1 of surface1 drawn with its
/// top-left at (x1, y1) and srcRect2 of surface2 at (x2, y2). True when an
/// opaque pixel of one lies on an opaque pixel of the other (a pixel equal to
/// its surface's colour key is transparent). Without a surface the result is
/// whether the rectangles overlap; a failed lock gives false.
bool PatternsOverlap(const TDirectDrawSurface* surface1, const TRect& srcRect1, int32_t x1,
                     int32_t y1, const TDirectDrawSurface* surface2, const TRect& srcRect2,
                     int32_t x2, int32_t y2);

} // namespace vantorel

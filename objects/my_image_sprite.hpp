// The base of every picture sprite of the game: the ship and its companions,
// bullets, monsters, ground guns, bonuses, the heads-up display pieces and the
// menu widgets. It finds its picture by name in one of the two image libraries,
// draws itself blended with an opacity, runs its animation at a rate given per
// display frame, and can play an animation once and then hide or remove itself.
#pragma once

#include "engine/image_sprite.hpp"

#include <cstdint>
#include <string>

namespace vantorel {

struct TGameContext;
class TDXImageList;

class TMyImageSprite : public TImageSprite {
public:
    /// Base set-up only, no picture: a looping animation at rest, opaque drawing
    /// off, Alpha 0. The sprite is a child of the engine root, so X and Y are
    /// display pixels. imageListNo 1 or 2 picks the library names are looked up in.
    TMyImageSprite(TGameContext& context, uint8_t imageListNo);

    /// A new sprite showing picture name with its top-left corner at (x, y) and
    /// depth z. Owned by the sprite engine; removed with Kill.
    static TMyImageSprite* CreateAt(TGameContext& context, uint8_t imageListNo,
                                    const std::string& name, int32_t x, int32_t y, int32_t z);
    /// As CreateAt, with the picture centred on (cx, cy).
    static TMyImageSprite* CreateCentered(TGameContext& context, uint8_t imageListNo,
                                          const std::string& name, int32_t cx, int32_t cy,
                                          int32_t z);

    /// Shows picture name of the chosen library (an unknown library number keeps
    /// the current picture) and restarts the animation from pattern 0 with the
    /// picture's pattern count. Raises EPictureCollectionError "Image '%s' not
    /// found" for a name the library lacks.
    void SetImageByName(const std::string& name);
    /// SetImageByName, then centres the sprite on (cx, cy).
    void SetImageCentered(const std::string& name, int32_t cx, int32_t cy);
    /// Shows picture name as a looping animation of percent hundredths of a
    /// pattern per display frame.
    void PlayAnimation(const std::string& name, int32_t percent);
    /// PlayAnimation, then the sprite hides itself when the cycle ends: how every
    /// explosion is shown.
    void PlayAnimationOnce(const std::string& name, int32_t percent);
    /// Back to the first pattern (replays a muzzle flash).
    void RestartAnimation();
    /// Asks the engine to free the sprite at the end of the frame; a second call
    /// does nothing.
    void Kill();
    /// Kill has been called.
    bool Killed() const { return killed_; }

    /// Animation step, end-of-cycle hide or kill, and the centre kept for aiming.
    void MoveSelf(int32_t moveCount) override;
    /// Blended with Alpha when AlphaMode is on and Alpha is not 255; nothing at
    /// Alpha 0 or below.
    void DrawSelf() override;

    /// Draw blended with Alpha (unless Alpha is 255).
    bool AlphaMode = false;
    /// Opacity 0..255 for AlphaMode; callers step it freely, so it may leave that range.
    int32_t Alpha = 0;
    /// Animation rate in hundredths of a pattern per display frame; 0 leaves
    /// AnimSpeed as it is. Takes effect from the next move.
    int32_t AnimPercent = 0;
    /// 1: the menu library, 2: the world library.
    uint8_t ImageListNo = 0;
    /// Kill the sprite when its animation wraps.
    bool KillAtAnimEnd = false;
    /// Hide the sprite when its animation wraps.
    bool HideAtAnimEnd = false;
    /// AnimPosition at the end of the previous move.
    double LastAnimPosition = 0;
    /// AnimPosition at the start of the current move.
    double AnimPositionBefore = 0;
    /// trunc(X + Width / 2), trunc(Y + Height / 2) after the last move, in pixels.
    int32_t CenterX = 0;
    int32_t CenterY = 0;
    /// The categories (CategoryBit) this sprite acts on when it runs a collision
    /// search; 0 for the sprites that never search.
    uint32_t HitMask = 0;

protected:
    TGameContext& Context() const { return context_; }
    /// The library ImageListNo names, or none.
    TDXImageList* ImageList() const;

private:
    TGameContext& context_;
    bool killed_ = false;
};

} // namespace vantorel

// The root of the sprite tree: counts its sprites, keeps the dead list and
// holds the surface the draw pass paints on.
#pragma once

#include "engine/geometry.hpp"
#include "engine/sprite.hpp"

#include <cstdint>
#include <vector>

namespace vantorel {

class TDirectDrawSurface;

/// The root sprite. Every sprite created below it (at any depth) names it as
/// its Engine(). Deleting the engine deletes all of its sprites.
class TSpriteEngine : public TSprite {
public:
    /// parent is none for the game's engine.
    explicit TSpriteEngine(TSprite* parent = nullptr);
    ~TSpriteEngine() override;

    /// The draw pass over the whole tree: resets DrawCount, then draws the
    /// children (the root itself draws nothing).
    void Draw();
    /// Deletes the sprites of the dead list, the last-marked first, each with its
    /// subtree. Called once per frame by the frame loop, never from inside a pass.
    void FreeDead();
    /// The draw target; with a surface, SurfaceRect, Width and Height take its
    /// size. With none only the surface is forgotten.
    virtual void SetSurface(TDirectDrawSurface* surface);

    TDirectDrawSurface* Surface() const { return surface_; }
    /// The target's rectangle, (0, 0, 800, 600) for the game's back surface.
    const TRect& SurfaceRect() const { return surfaceRect_; }
    /// Live sprites created with a parent in this tree.
    int32_t SpriteCount() const { return spriteCount_; }
    /// Sprites whose DrawSelf ran in the last draw pass.
    int32_t DrawCount() const { return drawCount_; }
    /// Hits found so far by the running (or last) collision search.
    int32_t CollisionCount() const { return collisionCount_; }
    /// Sprites marked dead and not yet freed, in marking order.
    const std::vector<TSprite*>& DeadList() const { return deadList_; }

private:
    friend class TSprite;

    int32_t spriteCount_ = 0;
    int32_t collisionCount_ = 0;
    bool collisionDone_ = false;
    TRect collisionRect_;
    TSprite* collisionSprite_ = nullptr;
    std::vector<TSprite*> deadList_;
    int32_t drawCount_ = 0;
    TDirectDrawSurface* surface_ = nullptr;
    TRect surfaceRect_;
};

} // namespace vantorel

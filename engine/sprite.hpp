// The sprite tree: every object on the play field and on the menu screens is a
// node below one TSpriteEngine root, moved, drawn, collided and freed by the
// passes of this class.
#pragma once

#include "engine/geometry.hpp"

#include <cstdint>
#include <vector>

namespace vantorel {

class TSpriteEngine;

/// A node of the sprite tree. A parent owns its children: deleting a sprite
/// deletes its whole subtree (last-created child first) and unlinks it from its
/// parent, its engine's dead list and its engine's sprite count. The normal way
/// to remove a sprite is MarkDead, after which the engine's FreeDead deletes it at
/// the end of the frame; a direct `delete` is allowed outside the passes.
/// Game sprites derive from TImageSprite or TBackgroundSprite and override the
/// virtual operations below.
class TSprite {
public:
    /// Creates the sprite as the last child of parent (none for a root). The
    /// sprite joins the parent's draw list ahead of every sibling with Z 0, and
    /// takes the parent as its engine when the parent is a TSpriteEngine, else the
    /// parent's engine, whose SpriteCount goes up by one.
    explicit TSprite(TSprite* parent);
    /// Deletes the children (reverse creation order), then unlinks the sprite.
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // ---- the virtual operations, overridden by the game's sprites ----

    /// Called by the collision search that this sprite runs, once for every other
    /// sprite it hits. Setting done stops the search from descending into other's
    /// children; the rest of the engine's children are still offered. May create
    /// sprites or mark them dead; must not delete any.
    virtual void HandleCollision(TSprite& other, bool& done);
    /// Paints the sprite onto its engine's Surface; called by the draw pass only
    /// when the bounds overlap the engine's SurfaceRect.
    virtual void DrawSelf();
    /// One step of the move pass; moveCount is milliseconds since the previous
    /// frame. May create sprites or mark them dead; must not delete any.
    virtual void MoveSelf(int32_t moveCount);
    /// The sprite's rectangle on the surface: (AbsoluteX, AbsoluteY) rounded
    /// (halves to even) with size Width x Height.
    virtual TRect GetBounds() const;
    /// Finer test run after the bounds of two sprites overlap; true by default.
    virtual bool HitTest(TSprite& other);

    // ---- passes ----

    /// The move pass over this subtree: MoveSelf, then the children in creation
    /// order, counted after MoveSelf (a child that MoveSelf creates moves at
    /// once; children appended to a list already being walked wait for the next
    /// pass). Nothing below a sprite with CanMove false moves.
    void Move(int32_t moveCount);
    /// The draw pass over this subtree, children in draw-list order (ascending Z).
    /// An invisible sprite hides its subtree; a sprite outside the surface is not
    /// drawn but its children still are visited.
    void Draw();
    /// Offers every other collidable sprite of the tree whose bounds overlap this
    /// sprite's (and that passes both HitTests) to HandleCollision. Returns the
    /// number of hits; 0 without an engine, when dead or when CanCollide is false.
    int32_t CheckCollisions();
    /// Schedules the sprite for deletion at the engine's next FreeDead; a second
    /// call, or a call on a sprite without an engine, does nothing. A dead sprite
    /// still takes part in every pass until it is freed.
    void MarkDead();
    /// Deletes every child, the last-created first.
    void Clear();

    // ---- tree ----

    TSpriteEngine* Engine() const { return engine_; }
    TSprite* Parent() const { return parent_; }
    bool IsDead() const { return isDead_; }
    /// Number of children.
    int32_t Count() const { return static_cast<int32_t>(children_.size()); }
    /// The index-th child in creation order. Raises ESpriteError "Index of the
    /// list exceeds the range. (%d)" when there are no children and "List index
    /// out of bounds (%d)" for an index outside 0..Count()-1.
    TSprite* Items(int32_t index) const;
    /// The children sorted by Z ascending (the drawing order); among equal Z the
    /// later-inserted comes first.
    const std::vector<TSprite*>& DrawList() const { return drawList_; }

    /// Depth key; larger is drawn later (on top).
    int32_t Z() const { return z_; }
    /// Stores a new Z and moves the sprite within its parent's draw list; writing
    /// the current value changes nothing. The creation order is unchanged.
    void SetZ(int32_t value);

    /// Position on the surface: X plus the parent's AbsoluteX, recursively.
    double AbsoluteX() const;
    double AbsoluteY() const;

    /// Takes part in collision searches (its own and other sprites').
    bool CanCollide = true;
    /// Takes part in the move pass, with its subtree.
    bool CanMove = true;
    /// Takes part in the draw pass, with its subtree.
    bool Visible = true;
    /// Top-left corner relative to the parent, in pixels.
    double X = 0;
    double Y = 0;
    /// Size of the bounds rectangle in pixels.
    int32_t Width = 0;
    int32_t Height = 0;
    /// What the sprite is, as category bits the game defines for its collision
    /// rules; the engine only carries it. 0: nothing any rule knows.
    uint32_t Contents = 0;

private:
    friend class TSpriteEngine;

    void AddChild(TSprite* child);
    void RemoveChild(TSprite* child);
    void InsertIntoDrawList(TSprite* child);
    void RemoveFromDrawList(TSprite* child);
    void CollisionVisit(TSprite& searcher);

    TSpriteEngine* engine_ = nullptr;
    TSprite* parent_ = nullptr;
    std::vector<TSprite*> children_; // owning, creation order
    bool isDead_ = false;
    std::vector<TSprite*> drawList_; // the same children, Z ascending
    int32_t z_ = 0;
};

} // namespace vantorel

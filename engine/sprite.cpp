#include "engine/sprite.hpp"

#include "base/errors.hpp"
#include "engine/sprite_engine.hpp"

#include <algorithm>
#include <string>

namespace vantorel {

TSprite::TSprite(TSprite* parent) : parent_(parent) {
    if (parent_ == nullptr)
        return;
    parent_->AddChild(this);
    if (auto* root = dynamic_cast<TSpriteEngine*>(parent_)) {
        engine_ = root;
    } else {
        engine_ = parent_->engine_;
    }
    if (engine_ != nullptr)
        ++engine_->spriteCount_;
}

TSprite::~TSprite() {
    Clear();
    if (parent_ != nullptr) {
        if (engine_ != nullptr) {
            --engine_->spriteCount_;
        }
        parent_->RemoveChild(this);
        if (engine_ != nullptr && isDead_) {
            auto& dead = engine_->deadList_;
            // FreeDead deletes from the back, so search from there.
            auto it = std::find(dead.rbegin(), dead.rend(), this);
            if (it != dead.rend())
                dead.erase(std::next(it).base());
        }
    }
}

void TSprite::HandleCollision(TSprite&, bool&) {}

void TSprite::DrawSelf() {}

void TSprite::MoveSelf(int32_t) {}

TRect TSprite::GetBounds() const {
    const int32_t left = RoundHalfEven(AbsoluteX());
    const int32_t top = RoundHalfEven(AbsoluteY());
    return {left, top, left + Width, top + Height};
}

bool TSprite::HitTest(TSprite&) {
    return true;
}

void TSprite::AddChild(TSprite* child) {
    children_.push_back(child);
    InsertIntoDrawList(child);
}

void TSprite::RemoveChild(TSprite* child) {
    auto it = std::find(children_.rbegin(), children_.rend(), child);
    if (it != children_.rend())
        children_.erase(std::next(it).base());
    RemoveFromDrawList(child);
    if (children_.empty()) {
        children_.shrink_to_fit();
        drawList_.clear();
        drawList_.shrink_to_fit();
    }
}

void TSprite::InsertIntoDrawList(TSprite* child) {
    // Lands in front of every entry with the same Z: among equal Z the sprite
    // inserted last is drawn first, beneath the others.
    int32_t lo = 0;
    int32_t hi = static_cast<int32_t>(drawList_.size()) - 1;
    while (lo <= hi) {
        const int32_t mid = (lo + hi) / 2;
        if (drawList_[static_cast<size_t>(mid)]->z_ < child->z_) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    drawList_.insert(drawList_.begin() + lo, child);
}

void TSprite::RemoveFromDrawList(TSprite* child) {
    auto it = std::find(drawList_.begin(), drawList_.end(), child);
    if (it != drawList_.end())
        drawList_.erase(it);
}

void TSprite::SetZ(int32_t value) {
    if (value == z_)
        return;
    z_ = value;
    if (parent_ != nullptr) {
        parent_->RemoveFromDrawList(this);
        parent_->InsertIntoDrawList(this);
    }
}

double TSprite::AbsoluteX() const {
    return parent_ != nullptr ? X + parent_->AbsoluteX() : X;
}

double TSprite::AbsoluteY() const {
    return parent_ != nullptr ? Y + parent_->AbsoluteY() : Y;
}

TSprite* TSprite::Items(int32_t index) const {
    if (children_.empty()) {
        throw ESpriteError("Index of the list exceeds the range. (" + std::to_string(index) + ")");
    }
    if (index < 0 || index >= Count()) {
        throw ESpriteError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return children_[static_cast<size_t>(index)];
}

void TSprite::Clear() {
    while (!children_.empty())
        delete children_.back();
}

void TSprite::MarkDead() {
    if (engine_ == nullptr || isDead_)
        return;
    isDead_ = true;
    engine_->deadList_.push_back(this);
}

void TSprite::Move(int32_t moveCount) {
    if (!CanMove)
        return;
    MoveSelf(moveCount);
    // Counted after MoveSelf: children appended later in the pass wait for the
    // next one. The bound on the live count only matters if a child was deleted
    // mid-pass, which the game must not do; it keeps such a slip from reading
    // past the list.
    const int32_t n = Count();
    for (int32_t i = 0; i < n && i < Count(); ++i) {
        children_[static_cast<size_t>(i)]->Move(moveCount);
    }
}

void TSprite::Draw() {
    if (!Visible)
        return;
    if (engine_ != nullptr) {
        if (Overlap(GetBounds(), engine_->surfaceRect_)) {
            DrawSelf();
            ++engine_->drawCount_;
        }
    }
    const size_t n = drawList_.size();
    for (size_t i = 0; i < n && i < drawList_.size(); ++i)
        drawList_[i]->Draw();
}

int32_t TSprite::CheckCollisions() {
    if (engine_ == nullptr || isDead_ || !CanCollide)
        return 0;
    TSpriteEngine& root = *engine_;
    root.collisionCount_ = 0;
    root.collisionDone_ = false;
    root.collisionRect_ = GetBounds();
    root.collisionSprite_ = this;
    const int32_t n = root.Count();
    for (int32_t i = 0; i < n && i < root.Count(); ++i) {
        root.children_[static_cast<size_t>(i)]->CollisionVisit(*this);
    }
    return root.collisionCount_;
}

void TSprite::CollisionVisit(TSprite& searcher) {
    if (!CanCollide)
        return;
    TSpriteEngine& root = *searcher.engine_;
    if (this != &searcher) {
        if (Overlap(GetBounds(), root.collisionRect_) && searcher.HitTest(*this) &&
            HitTest(searcher)) {
            ++root.collisionCount_;
            searcher.HandleCollision(*this, root.collisionDone_);
            if (!searcher.CanCollide || searcher.isDead_)
                root.collisionDone_ = true;
        }
    }
    if (root.collisionDone_)
        return;
    const int32_t n = Count();
    for (int32_t i = 0; i < n && i < Count(); ++i) {
        children_[static_cast<size_t>(i)]->CollisionVisit(searcher);
    }
}

} // namespace vantorel

#include "engine/sprite_engine.hpp"

#include "engine/surface.hpp"

namespace vantorel {

TSpriteEngine::TSpriteEngine(TSprite* parent) : TSprite(parent) {}

TSpriteEngine::~TSpriteEngine() {
    // The sprites unlink themselves from the dead list and the sprite count,
    // so they must go while those still exist.
    Clear();
}

void TSpriteEngine::Draw() {
    drawCount_ = 0;
    TSprite::Draw();
}

void TSpriteEngine::FreeDead() {
    // Each destructor takes its sprite, and any dead descendants, off the list.
    while (!deadList_.empty())
        delete deadList_.back();
}

void TSpriteEngine::SetSurface(TDirectDrawSurface* surface) {
    surface_ = surface;
    if (surface_ != nullptr) {
        surfaceRect_ = surface_->ClientRect();
        Width = surface_->Width();
        Height = surface_->Height();
    }
}

} // namespace vantorel

#include "engine/dx_sprite_engine.hpp"

#include "engine/display.hpp"

namespace vantorel {

TDXSpriteEngine::~TDXSpriteEngine() {
    if (dxDraw_ != nullptr)
        dxDraw_->RemoveListener(this);
}

void TDXSpriteEngine::SetDXDraw(TDXDraw* display) {
    if (display == dxDraw_)
        return;
    if (dxDraw_ != nullptr)
        dxDraw_->RemoveListener(this);
    dxDraw_ = display;
    if (dxDraw_ != nullptr)
        dxDraw_->AddListener(this);
}

void TDXSpriteEngine::Move(int32_t moveCount) {
    Engine.Move(moveCount);
}

void TDXSpriteEngine::Draw() {
    if (dxDraw_ != nullptr && dxDraw_->Initialized())
        Engine.Draw();
}

void TDXSpriteEngine::FreeDead() {
    Engine.FreeDead();
}

void TDXSpriteEngine::DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) {
    switch (type) {
    case TDXDrawNotifyType::Destroying:
        if (&sender == dxDraw_)
            dxDraw_ = nullptr;
        break;
    case TDXDrawNotifyType::InitializeSurface:
        Engine.SetSurface(sender.Surface());
        break;
    case TDXDrawNotifyType::FinalizeSurface:
        Engine.SetSurface(nullptr);
        break;
    default:
        break;
    }
}

} // namespace vantorel

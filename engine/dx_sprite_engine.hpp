// The sprite engine component of the main window: one engine, kept in step
// with the display's surfaces through its notifications.
#pragma once

#include "engine/display_listener.hpp"
#include "engine/sprite_engine.hpp"

#include <cstdint>

namespace vantorel {

class TDXDraw;

/// Owns the game's sprite engine and follows a display: when the display's
/// surfaces are initialised the engine draws on its back surface, when they are
/// finalised it has none, and when the display goes away it is forgotten.
class TDXSpriteEngine : public IDXDrawListener {
public:
    TDXSpriteEngine() = default;
    ~TDXSpriteEngine();
    TDXSpriteEngine(const TDXSpriteEngine&) = delete;
    TDXSpriteEngine& operator=(const TDXSpriteEngine&) = delete;

    /// The tree's root; the game creates its sprites with &Engine as parent.
    TSpriteEngine Engine;

    /// Leaves the previous display's notification list and joins display's.
    void SetDXDraw(TDXDraw* display);
    TDXDraw* DXDraw() const { return dxDraw_; }

    /// The frame loop's three calls. Draw does nothing unless a display is set
    /// and initialised.
    void Move(int32_t moveCount);
    void Draw();
    void FreeDead();

    void DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) override;

private:
    TDXDraw* dxDraw_ = nullptr;
};

} // namespace vantorel

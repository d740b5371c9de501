#include "gameplay/window_text.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/surface.hpp"
#include "menus/text_drawing.hpp"
#include "state/game_context.hpp"

namespace vantorel {

TDirectDrawSurfaceCanvas* FrameCanvas(TGameContext& ctx) {
    TDirectDrawSurface* surface = ctx.Sprites.Engine.Surface();
    return surface != nullptr ? &surface->Canvas() : nullptr;
}

void DrawCentredText(TGameContext& ctx, std::string_view text, int32_t style, int32_t x,
                     int32_t y) {
    TDirectDrawSurfaceCanvas* canvas = FrameCanvas(ctx);
    if (canvas == nullptr)
        return;
    SelectTextStyle(*canvas, style);
    DrawText(*canvas, text, x, y, true, true);
}

} // namespace vantorel

#include "menus/menu_text.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/surface.hpp"
#include "menus/text_drawing.hpp"
#include "state/game_context.hpp"

namespace vantorel {

TDirectDrawSurfaceCanvas* MenuCanvas(TGameContext& ctx) {
    TDirectDrawSurface* surface = ctx.Sprites.Engine.Surface();
    return surface != nullptr ? &surface->Canvas() : nullptr;
}

void DrawCentredInStyle(TGameContext& ctx, std::string_view text, int32_t style, int32_t x,
                        int32_t y) {
    if (TDirectDrawSurfaceCanvas* canvas = MenuCanvas(ctx)) {
        SelectTextStyle(*canvas, style);
        DrawText(*canvas, text, x, y, true, true);
    }
}

void DrawAtInStyle(TGameContext& ctx, std::string_view text, int32_t style, int32_t x, int32_t y) {
    if (TDirectDrawSurfaceCanvas* canvas = MenuCanvas(ctx)) {
        SelectTextStyle(*canvas, style);
        DrawText(*canvas, text, x, y, false, false);
    }
}

int32_t MenuTextWidth(TGameContext& ctx, std::string_view text, int32_t style) {
    TDirectDrawSurfaceCanvas* canvas = MenuCanvas(ctx);
    return canvas != nullptr ? WidthInStyle(*canvas, text, style) : 0;
}

} // namespace vantorel

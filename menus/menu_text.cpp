#include "menus/menu_text.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/text_drawing.hpp"
#include "state/game_context.hpp"

namespace vantorel {

void DrawCentredInStyle(TGameContext& ctx, std::string_view text, int32_t style, int32_t x,
                        int32_t y) {
    DrawCentredInStyle(ctx.Sprites.Engine.Surface(), text, style, x, y);
}

void DrawAtInStyle(TGameContext& ctx, std::string_view text, int32_t style, int32_t x, int32_t y) {
    DrawAtInStyle(ctx.Sprites.Engine.Surface(), text, style, x, y);
}

int32_t MenuTextWidth(TGameContext& ctx, std::string_view text, int32_t style) {
    return WidthInStyle(ctx.Sprites.Engine.Surface(), text, style);
}

} // namespace vantorel

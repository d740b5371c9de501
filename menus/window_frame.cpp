#include "menus/window_frame.hpp"

#include "objects/my_image_sprite.hpp"

namespace vantorel {

TMyImageSprite* CreateWindowFrame(TGameContext& ctx) {
    return TMyImageSprite::CreateAt(ctx, 1, "Window", 210, 200, 14);
}

} // namespace vantorel

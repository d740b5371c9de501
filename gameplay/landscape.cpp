#include "gameplay/landscape.hpp"

#include "objects/game_sprites.hpp"
#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

#include <cstdint>

namespace vantorel {
namespace {

struct THillLayer {
    const char* Picture;
    int32_t Y;
    int32_t Z;
    int32_t ScrollX;
};
constexpr THillLayer kHills[3] = {
    {"Hills1", 485, 5, -4},
    {"Hills2", 495, 4, -3},
    {"Hills3", 498, 3, -2},
};

} // namespace

void TLandscape::Setup() {
    if (fixed_.Sky != nullptr) {
        fixed_.Sky->ChangeImage("SkyTile", 2);
        fixed_.Sky->ScrollX = -1;
    }
    for (size_t i = 0; i < 3; ++i) {
        const THillLayer& layer = kHills[i];
        auto* hills = new TScrollBackground(ctx_, 2, layer.Picture, 2, 1);
        hills->X = 0;
        hills->Y = layer.Y;
        hills->SetZ(layer.Z);
        hills->ScrollX = layer.ScrollX;
        fixed_.Hills[i] = hills;
    }
}

void TLandscape::Remove() {
    for (TScrollBackground*& hills : fixed_.Hills) {
        if (hills != nullptr)
            hills->Kill();
        hills = nullptr;
    }
}

} // namespace vantorel

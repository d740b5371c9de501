#include "objects/bonus.hpp"

#include "objects/collision_category.hpp"
#include "objects/game_sprites.hpp"
#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

namespace vantorel {

TBonus::TBonus(TGameContext& context, IGameWorld& world, int32_t x, int32_t y, int32_t z,
               int32_t slot, TBonusKind kind)
    : TMyImageSprite(context, 2), Slot(slot), Kind(kind), world_(world) {
    SetImageByName(TraitsOf(kind).Picture);
    X = x;
    Y = y;
    SetZ(z);
    Contents = CategoryBit(TCategory::Bonus);
}

void TBonus::MoveSelf(int32_t moveCount) {
    TMyImageSprite::MoveSelf(moveCount);
    const TGameState& state = Context().State;
    X += (GroundSpeed(world_.FixedSprites()) + PushSpeed) * state.Timing.FrameFactor;
    if (PushSpeed >= 1) {
        PushTimer -= state.Timing.FrameMs;
        if (PushTimer < 1)
            PushSpeed = 0;
    }
}

void TBonus::Push() {
    PushTimer = 300;
    PushSpeed = 6;
}

} // namespace vantorel

#include "objects/bonus.hpp"

#include "objects/collision_category.hpp"
#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

namespace vantorel {

int32_t BonusKindOfIndex(int32_t index) {
    for (TBonusKind kind : AllBonusKinds())
        if (TraitsOf(kind).Index == index)
            return static_cast<int32_t>(kind);
    return -1;
}

int32_t BonusIndexOfKind(int32_t kind) {
    const std::optional<TBonusKind> k = BonusKindOf(kind);
    return k ? TraitsOf(*k).Index : 0;
}

const char* TBonus::PictureOfKind(int32_t kind) {
    const std::optional<TBonusKind> k = BonusKindOf(kind);
    return k ? TraitsOf(*k).Picture : "";
}

TBonus::TBonus(TGameContext& context, int32_t x, int32_t y, int32_t z, int32_t slot,
               TBonusKind kind)
    : TMyImageSprite(context, 2), Slot(slot), Kind(kind) {
    SetImageByName(TraitsOf(kind).Picture);
    X = x;
    Y = y;
    SetZ(z);
    Contents = CategoryBit(TCategory::Bonus);
}

void TBonus::MoveSelf(int32_t moveCount) {
    TMyImageSprite::MoveSelf(moveCount);
    const TGameState& state = Context().State;
    X += (GroundSpeed(state) + PushSpeed) * state.FrameFactor;
    if (PushSpeed >= 1) {
        PushTimer -= state.FrameMs;
        if (PushTimer < 1)
            PushSpeed = 0;
    }
}

void TBonus::Push() {
    PushTimer = 300;
    PushSpeed = 6;
}

} // namespace vantorel

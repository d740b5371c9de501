#include "objects/bonus.hpp"

#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

#include <array>

namespace vantorel {

namespace {

constexpr std::array<int32_t, 11> kKindOfIndex = {-1, 0, 1, 2, 3, 4, 7, 8, 9, 5, 6};
constexpr std::array<const char*, 10> kPictureOfKind = {
    "BonusLaserGun", "BonusPlasmaGun", "BonusRocketGun",   "BonusRailGun",      "BonusShield",
    "BonusMegaBomb", "BonusLife",      "BonusLaserGun_2x", "BonusPlasmaGun_3x", "BonusRocketGun_2x",
};

} // namespace

int32_t BonusKindOfIndex(int32_t index) {
    if (index < 1 || index > 10)
        return -1;
    return kKindOfIndex[static_cast<size_t>(index)];
}

int32_t BonusIndexOfKind(int32_t kind) {
    for (int32_t index = 1; index <= 10; ++index)
        if (kKindOfIndex[static_cast<size_t>(index)] == kind)
            return index;
    return 0;
}

const char* TBonus::PictureOfKind(int32_t kind) {
    if (kind < 0 || kind > 9)
        return "";
    return kPictureOfKind[static_cast<size_t>(kind)];
}

TBonus::TBonus(TGameContext& context, int32_t x, int32_t y, int32_t z, int32_t slot, int32_t kind)
    : TMyImageSprite(context, 2), Slot(slot), Kind(kind) {
    SetImageByName(PictureOfKind(kind));
    X = x;
    Y = y;
    SetZ(z);
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

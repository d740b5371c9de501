// A pick-up drifting with the ground: a weapon, the shield, the mega bomb or a
// life. The player collects it (its effect is the player's); the player's shots
// push it forwards.
#pragma once

#include "objects/my_image_sprite.hpp"
#include "objects/object_kinds.hpp"

#include <cstdint>

namespace vantorel {

/// Bonus kinds (the TBonus constructor's kind) and bonus indexes (the player's
/// weapon slots and the spawners' order):
///   index 1..10 -> kind 0, 1, 2, 3, 4, 7, 8, 9, 5, 6.
/// Indexes 1..4 are the laser, plasma, rocket and rail guns, 5 the shield, 6..8
/// the doubled and tripled guns, 9 the mega bomb and 10 a life.
/// BonusKindOfIndex gives -1 outside 1..10, BonusIndexOfKind 0 outside 0..9.
int32_t BonusKindOfIndex(int32_t index);
int32_t BonusIndexOfKind(int32_t kind);

class TBonus : public TMyImageSprite {
public:
    /// Called by the bonus pool: the kind's picture from the world library,
    /// top-left (x, y).
    TBonus(TGameContext& context, int32_t x, int32_t y, int32_t z, int32_t slot, TBonusKind kind);

    /// The picture of a bonus kind 0..9, "" for any other.
    static const char* PictureOfKind(int32_t kind);

    /// Drifts with the ground, plus the push of the player's shots.
    void MoveSelf(int32_t moveCount) override;
    /// A player's shot touched it: 6 pixels per frame forwards for 300 ms.
    void Push();

    /// The bonus's slot 1..5 in its pool.
    int32_t Slot = 0;
    /// Collected by the player; the sweep removes it in the same frame.
    bool Taken = false;
    TBonusKind Kind = TBonusKind::LaserGun;
    /// Pixels per frame at 85 fps added to the ground's drift.
    int32_t PushSpeed = 0;
    /// Milliseconds left of the push.
    int32_t PushTimer = 0;
};

} // namespace vantorel

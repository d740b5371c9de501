// A pick-up drifting with the ground: a weapon, the shield, the mega bomb or a
// life. The player collects it (its effect is the player's); the player's shots
// push it forwards.
#pragma once

#include "objects/game_world.hpp"
#include "objects/my_image_sprite.hpp"
#include "objects/object_kinds.hpp"

#include <cstdint>

namespace vantorel {

class TBonus : public TMyImageSprite {
public:
    /// Called by the bonus pool: the kind's picture from the world library,
    /// top-left (x, y).
    TBonus(TGameContext& context, IGameWorld& world, int32_t x, int32_t y, int32_t z, int32_t slot,
           TBonusKind kind);

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

private:
    IGameWorld& world_;
};

} // namespace vantorel

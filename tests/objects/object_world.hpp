// A game world for the object and pool tests: the shared state, a sprite engine
// without a display, the game's real picture libraries, input states, a shell that
// logs what it is asked (tests/support/fake_shell.hpp), and the slot pools. Frame() runs one game
// frame's share of the objects: the move pass, the sweep and the freeing of dead sprites.
#pragma once

#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "gameplay/game_pools.hpp"
#include "objects/bonus.hpp"
#include "objects/bullet.hpp"
#include "objects/game_sprites.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"
#include "support/fake_shell.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantorel::testing_objects {

/// The game's picture libraries from the build's Data folder, loaded once.
inline TDXImageList& Library(int n) {
    static TDXImageList* lists[2] = {nullptr, nullptr};
    TDXImageList*& list = lists[n - 1];
    if (list == nullptr) {
        list = new TDXImageList;
        list->Items.LoadLibraryFile(std::string(VANTOREL_BUILD_DIR) + "/Data/Res/Res" +
                                    std::to_string(n) + ".dxg");
    }
    return *list;
}

class TObjectWorld : public ::testing::Test {
protected:
    TObjectWorld() {
        State.Random.Seed(7);
        State.Cursor.ScreenCode = TScreenCode::Game;
    }

    /// The player with its companions, as a game starts it, flying and solid.
    TPlayer& MakePlayer() {
        auto* player = new TPlayer(Context, Pools);
        Fixed.Player = player;
        player->CreateCompanions();
        player->Respawn();
        player->BecomeSolid();
        return *player;
    }

    /// One frame: every sprite moves (and the player and bullets collide), then
    /// the sweep, then the dead sprites are freed.
    void Frame() {
        Sprites.Move(State.Timing.FrameMs);
        Pools.SweepOffscreen();
        Sprites.FreeDead();
    }

    /// A monster of kind at (x, y), whatever height the kind would pick itself.
    TMonster& AddMonster(int32_t kind, double x, double y) {
        const int32_t slot = FirstFreeMonsterSlot();
        Pools.AddMonster(static_cast<int32_t>(x), static_cast<int32_t>(y), 6, kind);
        TMonster* monster = Pools.Monster(slot);
        if (monster == nullptr)
            throw std::runtime_error("monster pool full");
        monster->X = x;
        monster->Y = y;
        return *monster;
    }
    int32_t FirstFreeMonsterSlot() const {
        for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
            if (Pools.Monster(slot) == nullptr)
                return slot;
        return 0;
    }
    TGroundGun& AddGun(int32_t kind, int32_t x, int32_t y) {
        int32_t slot = 1;
        while (slot <= IGameWorld::kGroundGunSlots && Pools.GroundGun(slot) != nullptr)
            ++slot;
        Pools.AddGroundGun(x, y, 6, kind);
        TGroundGun* gun = Pools.GroundGun(slot);
        if (gun == nullptr)
            throw std::runtime_error("gun pool full");
        return *gun;
    }
    TBullet& Shoot(TBulletKind kind, TBulletOwner owner, double x, double y, int32_t speed = 0,
                   int32_t angle = 0, int32_t shooterSlot = 0) {
        TBullet* b = Pools.AddBullet(static_cast<int32_t>(x), static_cast<int32_t>(y), 9, speed,
                                     angle, kind, owner, shooterSlot);
        if (b == nullptr)
            throw std::runtime_error("bullet pool full");
        b->X = x;
        b->Y = y;
        return *b;
    }

    TGameState State;
    TDXSpriteEngine Sprites;
    TFakeShell Shell{State};
    TGameContext Context{State, Sprites, Library(1), Library(2), Shell, Shell};
    TGameSprites Fixed;
    TGamePools Pools{Context, Fixed};
};

} // namespace vantorel::testing_objects

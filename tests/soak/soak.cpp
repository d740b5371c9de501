#include "soak/soak.hpp"

#include "gameplay/game_pools.hpp"
#include "objects/bonus.hpp"
#include "objects/bullet.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "support/scenario.hpp"

#include <memory>
#include <random>

namespace vantorel::testing {

namespace {

/// Every live bullet, monster, gun and bonus of the sprite tree sits in its pool.
void CheckTree(TMForm& form, std::vector<std::string>& failures) {
    TSprite& root = form.MDXSpriteEngine.Engine;
    TGamePools& pools = form.Pools();
    for (int32_t i = 0; i < root.Count(); ++i) {
        TSprite* sprite = root.Items(i);
        if (sprite->IsDead())
            continue;
        if (auto* b = dynamic_cast<TBullet*>(sprite)) {
            if (pools.Bullet(b->Slot) != b)
                failures.push_back("a live bullet outside the bullet pool");
        } else if (auto* m = dynamic_cast<TMonster*>(sprite)) {
            if (pools.Monster(m->Slot) != m)
                failures.push_back("a live monster outside the monster pool");
        } else if (auto* g = dynamic_cast<TGroundGun*>(sprite)) {
            if (pools.GroundGun(g->Slot) != g)
                failures.push_back("a live ground gun outside the gun pool");
        } else if (auto* n = dynamic_cast<TBonus*>(sprite)) {
            if (pools.Bonus(n->Slot) != n)
                failures.push_back("a live bonus outside the bonus pool");
        }
    }
}

constexpr TKey kKeys[] = {TKey::Up,    TKey::Down, TKey::Left,   TKey::Right, TKey::Space,
                          TKey::Ctrl,  TKey::P,    TKey::Escape, TKey::Y,     TKey::N,
                          TKey::Enter, TKey::A,    TKey::D1};

} // namespace

TSoakResult RunSoak(int64_t frames, uint32_t seed) {
    TSoakResult result;
    std::mt19937 random(seed);
    auto chance = [&](int32_t percent) { return static_cast<int32_t>(random() % 100u) < percent; };
    std::unique_ptr<TScenario> game;
    while (result.Frames < frames && result.Failures.empty()) {
        if (!game || game->Ended()) {
            game = std::make_unique<TScenario>(seed + static_cast<uint32_t>(result.Sessions));
            ++result.Sessions;
        }
        const int64_t now = game->Frames();
        // Keys are held for a while and let go, as a player would.
        if (chance(8)) {
            const TKey key = kKeys[random() % std::size(kKeys)];
            game->KeyDown(now, key);
            game->KeyUp(now + 1 + static_cast<int64_t>(random() % 40u), key);
        }
        if (chance(20))
            game->MouseMove(now, static_cast<int32_t>(random() % 41u) - 20,
                            static_cast<int32_t>(random() % 41u) - 20);
        if (chance(3))
            game->Click(now, static_cast<int32_t>(random() % 800u),
                        static_cast<int32_t>(random() % 600u));
        if (chance(4)) {
            // A gamepad, plugged in now and then, its stick and buttons at random.
            TJoystickReading pad;
            pad.Kind = chance(90) ? TJoystickKind::Gamepad : TJoystickKind::None;
            pad.X.Position = static_cast<int32_t>(random() % 65536u) - 32768;
            pad.Y.Position = static_cast<int32_t>(random() % 65536u) - 32768;
            pad.Buttons = static_cast<uint32_t>(random()) & static_cast<uint32_t>(random());
            game->Pad(now, pad);
        }
        if (chance(1))
            game->Char(now, static_cast<uint8_t>('A' + random() % 26u));
        const bool wasInGame = game->State().ScreenCode == TScreenCode::Game;
        if (game->RunFrames(1) == 0 && !game->Ended()) {
            result.Failures.push_back("the game stopped showing frames");
            break;
        }
        ++result.Frames;
        TGameState& s = game->State();
        if (!wasInGame && s.ScreenCode == TScreenCode::Game)
            ++result.Games;
        result.HighestLevel = std::max(result.HighestLevel, s.Level);
        result.BestScore = std::max(result.BestScore, s.Score);
        if (game->Ended())
            continue;
        for (const std::string& f : game->Form->Pools().CheckInvariants())
            result.Failures.push_back(f);
        CheckTree(*game->Form, result.Failures);
        if (!result.Failures.empty())
            result.Failures.insert(result.Failures.begin(),
                                   "frame " + std::to_string(result.Frames) + ":");
    }
    return result;
}

} // namespace vantorel::testing

#include "gameplay/collision_rules.hpp"

#include "objects/object_world.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace vantorel {
namespace {

using C = TCategory;

constexpr C kAll[] = {C::Player,  C::PlayerBullet, C::EnemyBullet,
                      C::Monster, C::GroundGun,    C::Bonus};

/// A fresh world per case, with one object of each category asked for, all at the
/// same spot so that any two of them touch.
struct TWorld : testing_objects::TObjectWorld {
    void TestBody() override {}
    using TObjectWorld::Pools;
    using TObjectWorld::Shell;
    using TObjectWorld::State;

    TMyImageSprite& Make(C category) {
        switch (category) {
        case C::Player: {
            TPlayer& player = MakePlayer();
            player.X = 300;
            player.Y = 300;
            State.Progress.Lives = 1;
            return player;
        }
        case C::PlayerBullet:
            return Shoot(TBulletKind::Plasma, TBulletOwner::Player, 310, 310);
        case C::EnemyBullet:
            return Shoot(TBulletKind::Plasma, TBulletOwner::Enemy, 310, 310);
        case C::Monster: {
            TMonster& monster = AddMonster(2, 300, 300); // Rocketer: 4 hit points
            monster.Ammo = 0;
            return monster;
        }
        case C::GroundGun:
            return AddGun(0, 300, 300);
        case C::Bonus: {
            const int32_t slot = Pools.BonusCount() + 1;
            Pools.AddBonus(310, 310, 9, 6); // a life
            return *Pools.Bonus(slot);
        }
        case C::None:
            break;
        }
        throw std::logic_error("no such category");
    }

    /// Everything a rule could change, as one line.
    std::string Fingerprint() const {
        std::string s = "score " + std::to_string(State.Progress.Score) + " lives " +
                        std::to_string(State.Progress.Lives) + " calls " +
                        std::to_string(Shell.Calls.size());
        if (const TPlayer* p = Fixed.Player)
            s += " ship " + std::to_string(static_cast<int>(p->State)) + "/" +
                 std::to_string(p->HitPoints);
        for (int32_t i = 1; i <= IGameWorld::kBulletSlots; ++i)
            if (const TBullet* b = Pools.Bullet(i))
                s += " bullet " + std::to_string(b->Spent) + std::to_string(b->CanCollide) +
                     std::to_string(static_cast<int>(b->StickMode));
        if (const TMonster* m = Pools.Monster(1))
            s += " monster " + std::to_string(m->HitPoints) + std::to_string(m->Exploding);
        if (const TGroundGun* g = Pools.GroundGun(1))
            s += " gun " + std::to_string(g->HitPoints) + std::to_string(g->Destroyed);
        if (const TBonus* b = Pools.Bonus(1))
            s += " bonus " + std::to_string(b->Taken) + std::to_string(b->PushSpeed);
        return s;
    }
};

using TCheck = std::function<void(TWorld&, TSprite& searcher, TSprite& other)>;

struct TRuleCase {
    C Searcher;
    C Other;
    TCheck Check;
};

const TRuleCase kCases[] = {
    {C::PlayerBullet, C::Bonus,
     [](TWorld&, TSprite&, TSprite& o) { EXPECT_EQ(static_cast<TBonus&>(o).PushSpeed, 6); }},
    {C::PlayerBullet, C::EnemyBullet,
     [](TWorld&, TSprite& s, TSprite& o) {
         EXPECT_TRUE(static_cast<TBullet&>(s).Spent);
         EXPECT_TRUE(static_cast<TBullet&>(o).Spent);
     }},
    {C::EnemyBullet, C::PlayerBullet,
     [](TWorld&, TSprite& s, TSprite& o) {
         EXPECT_TRUE(static_cast<TBullet&>(s).Spent);
         EXPECT_TRUE(static_cast<TBullet&>(o).Spent);
     }},
    {C::EnemyBullet, C::Player,
     [](TWorld&, TSprite& s, TSprite& o) {
         EXPECT_EQ(static_cast<TPlayer&>(o).State, TPlayerState::Exploding);
         EXPECT_EQ(static_cast<TBullet&>(s).StickMode, TStickMode::Player);
         EXPECT_FALSE(s.CanCollide);
     }},
    {C::PlayerBullet, C::GroundGun,
     [](TWorld& w, TSprite& s, TSprite& o) {
         EXPECT_TRUE(static_cast<TGroundGun&>(o).Destroyed);
         EXPECT_EQ(w.State.Progress.Score, 10);
         EXPECT_EQ(static_cast<TBullet&>(s).StickMode, TStickMode::GroundGun);
     }},
    {C::PlayerBullet, C::Monster,
     [](TWorld&, TSprite& s, TSprite& o) {
         EXPECT_EQ(static_cast<TMonster&>(o).HitPoints, 2);
         EXPECT_EQ(static_cast<TBullet&>(s).StickMode, TStickMode::Monster);
         EXPECT_FALSE(s.CanCollide);
     }},
    {C::Player, C::GroundGun,
     [](TWorld&, TSprite& s, TSprite& o) {
         EXPECT_EQ(static_cast<TPlayer&>(s).State, TPlayerState::Exploding);
         EXPECT_TRUE(static_cast<TGroundGun&>(o).Destroyed);
     }},
    {C::Player, C::Monster,
     [](TWorld&, TSprite& s, TSprite& o) {
         EXPECT_EQ(static_cast<TPlayer&>(s).State, TPlayerState::Exploding);
         EXPECT_TRUE(static_cast<TMonster&>(o).Exploding);
     }},
    {C::Player, C::Bonus,
     [](TWorld& w, TSprite&, TSprite& o) {
         EXPECT_TRUE(static_cast<TBonus&>(o).Taken);
         EXPECT_EQ(w.State.Progress.Lives, 2);
         EXPECT_EQ(w.Shell.Count("PlaySound Bonus"), 1);
     }},
};

uint32_t HitMaskOf(C category) {
    switch (category) {
    case C::Player:
        return kPlayerHits;
    case C::PlayerBullet:
        return kPlayerBulletHits;
    case C::EnemyBullet:
        return kEnemyBulletHits;
    default:
        return 0;
    }
}

std::string Label(C s, C o) {
    return std::to_string(static_cast<int>(s)) + " touches " + std::to_string(static_cast<int>(o));
}

TEST(CollisionRules, TheTableAndTheHitMasksNameTheSamePairsOnce) {
    std::set<std::pair<C, C>> inTable;
    for (const TCollisionRule& rule : CollisionRules()) {
        EXPECT_TRUE(inTable.insert({rule.Searcher, rule.Other}).second)
            << "twice: " << Label(rule.Searcher, rule.Other);
        EXPECT_NE(rule.Apply, nullptr) << rule.Name;
    }
    for (C s : kAll)
        for (C o : kAll)
            EXPECT_EQ((HitMaskOf(s) & CategoryBit(o)) != 0, inTable.count({s, o}) == 1)
                << Label(s, o);
}

TEST(CollisionRules, TheObjectsCarryTheirCategoryAndHitMask) {
    for (C category : kAll) {
        TWorld w;
        const TMyImageSprite& object = w.Make(category);
        EXPECT_EQ(CategoryOf(object.Contents), category) << static_cast<int>(category);
        EXPECT_EQ(object.HitMask, HitMaskOf(category)) << static_cast<int>(category);
    }
}

TEST(CollisionRules, EveryPairInTheTableActsAndEveryOtherPairDoesNothing) {
    for (C s : kAll) {
        for (C o : kAll) {
            if (s == C::Player && o == C::Player)
                continue; // there is one ship
            SCOPED_TRACE(Label(s, o));
            TWorld w;
            TMyImageSprite& searcher = w.Make(s);
            TMyImageSprite& other = w.Make(o);
            const std::string before = w.Fingerprint();
            w.Pools.Collide(searcher, other);
            const TRuleCase* rule = nullptr;
            for (const TRuleCase& c : kCases)
                if (c.Searcher == s && c.Other == o)
                    rule = &c;
            if (rule != nullptr)
                rule->Check(w, searcher, other);
            else
                EXPECT_EQ(w.Fingerprint(), before);
        }
    }
}

TEST(CollisionRules, ASpentShotOrAWreckStopsNothing) {
    const struct {
        const char* label;
        C searcher, other;
        std::function<void(TMyImageSprite&)> spend;
    } cases[] = {
        {"spent enemy shot", C::PlayerBullet, C::EnemyBullet,
         [](TMyImageSprite& o) { static_cast<TBullet&>(o).Spent = true; }},
        {"exploding monster", C::PlayerBullet, C::Monster,
         [](TMyImageSprite& o) { static_cast<TMonster&>(o).Explode(); }},
        {"destroyed gun", C::Player, C::GroundGun,
         [](TMyImageSprite& o) { static_cast<TGroundGun&>(o).Explode(); }},
        {"taken bonus", C::Player, C::Bonus,
         [](TMyImageSprite& o) { static_cast<TBonus&>(o).Taken = true; }},
    };
    for (const auto& c : cases) {
        TWorld w;
        TMyImageSprite& searcher = w.Make(c.searcher);
        TMyImageSprite& other = w.Make(c.other);
        c.spend(other);
        const std::string before = w.Fingerprint();
        w.Pools.Collide(searcher, other);
        EXPECT_EQ(w.Fingerprint(), before) << c.label;
    }
}

} // namespace
} // namespace vantorel

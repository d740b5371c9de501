#include "soak/soak.hpp"

#include "app/replay_playback.hpp"
#include "gameplay/game_pools.hpp"
#include "objects/bonus.hpp"
#include "objects/bullet.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "objects/scroll_background.hpp"
#include "replay/replay_file.hpp"
#include "support/scenario.hpp"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <unordered_set>

namespace vantorel::testing {

namespace {

/// Live sprites that neither a pool, a pooled object nor the game's fixed sprites
/// account for (menu scenery, windows' pieces) stay few; companions left behind
/// by removed objects would pile up past this.
constexpr size_t kMaxUnaccountedSprites = 150;

bool Gone(const TMyImageSprite* s) {
    return s != nullptr && (s->Killed() || s->IsDead());
}

/// Every live bullet, monster, gun and bonus of the sprite tree sits in its pool;
/// every pooled object's companions are still alive; no removed object leaves
/// companions behind.
void CheckTree(TMForm& form, std::vector<std::string>& failures) {
    TSprite& root = form.MDXSpriteEngine.Engine;
    TGamePools& pools = form.Pools();
    std::unordered_set<const TSprite*> accounted;
    auto account = [&](const TMyImageSprite* sprite) {
        if (sprite != nullptr)
            accounted.insert(sprite);
    };
    for (int32_t slot = 1; slot <= IGameWorld::kBulletSlots; ++slot)
        if (const TBullet* b = pools.Bullet(slot)) {
            account(b);
            account(b->Exhaust);
            if (Gone(b->Exhaust))
                failures.push_back("bullet slot " + std::to_string(slot) + " lost its exhaust");
        }
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
        if (const TMonster* m = pools.Monster(slot)) {
            account(m);
            for (const TMyImageSprite* c : m->Flames)
                account(c);
            for (const TMyImageSprite* c : m->Muzzles)
                account(c);
            if (std::any_of(m->Flames.begin(), m->Flames.end(), Gone) ||
                std::any_of(m->Muzzles.begin(), m->Muzzles.end(), Gone))
                failures.push_back("monster slot " + std::to_string(slot) +
                                   " lost a companion while it stays");
        }
    for (int32_t slot = 1; slot <= IGameWorld::kGroundGunSlots; ++slot)
        if (const TGroundGun* g = pools.GroundGun(slot)) {
            account(g);
            account(g->GunFlash);
            if (Gone(g->GunFlash))
                failures.push_back("gun slot " + std::to_string(slot) + " lost its flash");
        }
    for (int32_t slot = 1; slot <= IGameWorld::kBonusSlots; ++slot)
        account(pools.Bonus(slot));
    const TMyImageSprite* fixed[] = {form.Fixed.Player,       form.Fixed.EngineFlame1,
                                     form.Fixed.EngineFlame2, form.Fixed.MuzzleFlash,
                                     form.Fixed.ShieldSprite, form.Fixed.Panel,
                                     form.Fixed.WeaponIcon};
    for (const TMyImageSprite* sprite : fixed)
        account(sprite);
    for (const TMyImageSprite* icon : form.Fixed.LifeIcons)
        account(icon);
    accounted.insert(form.Fixed.Sky);
    for (const TScrollBackground* hill : form.Fixed.Hills)
        accounted.insert(hill);

    size_t unaccounted = 0;
    for (int32_t i = 0; i < root.Count(); ++i) {
        TSprite* sprite = root.Items(i);
        if (sprite->IsDead())
            continue;
        if (auto* my = dynamic_cast<TMyImageSprite*>(sprite); my != nullptr && my->Killed())
            continue;
        if (accounted.count(sprite) != 0)
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
        } else {
            ++unaccounted;
        }
    }
    if (unaccounted > kMaxUnaccountedSprites)
        failures.push_back(std::to_string(unaccounted) +
                           " live sprites belong to nothing: companions left behind?");
}

constexpr TKey kNoiseKeys[] = {TKey::Up,   TKey::Down, TKey::Left,   TKey::Right,     TKey::Space,
                               TKey::Ctrl, TKey::P,    TKey::Y,      TKey::N,         TKey::Enter,
                               TKey::A,    TKey::D1,   TKey::Escape, TKey::Apostrophe};

/// What the player saw after a frame, to tell what happened in the next.
struct TSeen {
    TScreenCode Screen = TScreenCode::None;
    TWindowKind Window = TWindowKind::None;
    int32_t Level = 0;
    int32_t MonstersLeft = 0;
    bool Exploding = false;
    /// The ship's rectangle and the bonuses by slot (compared, never followed).
    double ShipX = 0, ShipY = 0, ShipW = 0, ShipH = 0;
    std::array<const TBonus*, IGameWorld::kBonusSlots + 1> Bonus{};
    std::array<double, IGameWorld::kBonusSlots + 1> BonusX{}, BonusY{}, BonusW{}, BonusH{};
};

TSeen Look(TScenario& game) {
    TSeen seen;
    const TGameState& s = game.State();
    seen.Screen = s.Cursor.ScreenCode;
    seen.Window = s.Cursor.WindowKind;
    seen.Level = s.Progress.Level;
    seen.MonstersLeft = s.Progress.MonstersLeft;
    if (const TPlayer* p = game.Fixed().Player) {
        seen.Exploding = p->State == TPlayerState::Exploding;
        seen.ShipX = p->X;
        seen.ShipY = p->Y;
        seen.ShipW = p->Width;
        seen.ShipH = p->Height;
    }
    for (int32_t slot = 1; slot <= IGameWorld::kBonusSlots; ++slot)
        if (const TBonus* b = game.Form->Pools().Bonus(slot)) {
            const auto i = static_cast<size_t>(slot);
            seen.Bonus[i] = b;
            seen.BonusX[i] = b->X;
            seen.BonusY[i] = b->Y;
            seen.BonusW[i] = b->Width;
            seen.BonusH[i] = b->Height;
        }
    return seen;
}

/// Counts what happened between two looks at the same game.
void Tally(const TSeen& before, const TSeen& after, TScenario& game, TSoakResult& r) {
    const TGameState& s = game.State();
    const bool playing = before.Screen == TScreenCode::Game && after.Screen == TScreenCode::Game;
    if (after.Window != before.Window) {
        if (after.Window == TWindowKind::Pause)
            ++r.Pauses;
        if (after.Window == TWindowKind::GameOver)
            ++r.GameOvers;
        if (playing && after.Window == TWindowKind::LevelBanner && after.Level > before.Level)
            ++r.LevelsCleared;
    }
    if (!playing)
        return;
    if (after.Level == before.Level && after.MonstersLeft < before.MonstersLeft)
        r.Kills += before.MonstersLeft - after.MonstersLeft;
    if (after.Exploding && !before.Exploding)
        ++r.Deaths;
    // A bonus that vanished over the ship, not at a level's end, was collected.
    if (s.Progress.LevelFinishing)
        return;
    const TGamePools& pools = game.Form->Pools();
    for (size_t i = 1; i <= IGameWorld::kBonusSlots; ++i) {
        if (before.Bonus[i] == nullptr || pools.Bonus(static_cast<int32_t>(i)) == before.Bonus[i])
            continue;
        const double margin = 16;
        const bool overShip = before.BonusX[i] < before.ShipX + before.ShipW + margin &&
                              before.BonusX[i] + before.BonusW[i] > before.ShipX - margin &&
                              before.BonusY[i] < before.ShipY + before.ShipH + margin &&
                              before.BonusY[i] + before.BonusH[i] > before.ShipY - margin;
        if (overShip)
            ++r.Bonuses;
    }
}

/// The input of one session: mostly a keen player, with noise.
class TRandomPlayer {
public:
    TRandomPlayer(TScenario& game, uint32_t seed) : game_(game), random_(seed) {
        fireKey_ = Chance(70) ? TKey::Space : TKey::Ctrl;
    }

    /// Schedules the input that arrives before the next frame.
    void Act() {
        const TGameState& s = game_.State();
        now_ = game_.Frames();
        if (s.Cursor.ScreenCode == TScreenCode::Game && s.Cursor.WindowKind == TWindowKind::None)
            Fly();
        else
            Answer();
        Noise();
    }

    /// Frames since the game was last running.
    int64_t OutOfGame() const { return outOfGame_; }

private:
    bool Chance(int32_t perMille) { return static_cast<int32_t>(random_() % 1000u) < perMille; }
    int32_t Between(int32_t lo, int32_t hi) {
        return lo + static_cast<int32_t>(random_() % static_cast<uint32_t>(hi - lo + 1));
    }

    void Hold(TKey key, bool& held, bool down) {
        if (held == down)
            return;
        held = down;
        if (down)
            game_.KeyDown(now_, key);
        else
            game_.KeyUp(now_, key);
    }

    void Fly() {
        outOfGame_ = 0;
        waitAnswer_ = -1;
        // Fire held most of the time.
        if (!fireHeld_ && Chance(60))
            Hold(fireKey_, fireHeld_, true);
        else if (fireHeld_ && Chance(4))
            Hold(fireKey_, fireHeld_, false);

        if (--modeFrames_ <= 0) {
            const int32_t pick = Between(0, 99);
            mode_ = pick < 70 ? 0 : pick < 90 ? 1 : 2;
            modeFrames_ = Between(20, 120);
            randomUp_ = Chance(400);
            randomDown_ = !randomUp_ && Chance(500);
            randomRight_ = Chance(100);
        }
        bool up = false, down = false, left = false, right = false;
        if (mode_ == 1) {
            up = randomUp_;
            down = randomDown_;
            right = randomRight_;
            left = !right && Chance(300);
        }
        if (game_.Fixed().Player != nullptr) {
            const TPlayer& ship = *game_.Fixed().Player;
            const TGamePools& pools = game_.Form->Pools();
            if (mode_ == 0) {
                // Line up with the nearest enemy ahead and keep to the left.
                const TMonster* nearest = nullptr;
                for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
                    if (const TMonster* m = pools.Monster(slot);
                        m && !m->Exploding && m->X > ship.X + 60 &&
                        (nearest == nullptr || m->X < nearest->X))
                        nearest = m;
                if (nearest != nullptr) {
                    const double dy = nearest->Y + nearest->Height / 2.0 - (ship.Y + 24);
                    up = dy < -6;
                    down = dy > 6;
                }
                left = ship.X > 60;
            }
            // Whatever the mood, a monster about to ram the ship or an enemy shot
            // about to arrive makes it step out of the way.
            auto dodge = [&](double y, double h) {
                const bool goUp = y + h / 2 > ship.Y + ship.Height / 2.0;
                up = goUp && ship.Y > 90;
                down = !up;
            };
            for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
                if (const TMonster* m = pools.Monster(slot);
                    m && !m->Exploding && m->X < ship.X + ship.Width + 120 &&
                    m->X + m->Width > ship.X && m->Y + m->Height > ship.Y - 10 &&
                    m->Y < ship.Y + ship.Height + 10)
                    dodge(m->Y, m->Height);
            for (int32_t slot = 1; slot <= IGameWorld::kBulletSlots; ++slot)
                if (const TBullet* b = pools.Bullet(slot);
                    b && b->Owner == TBulletOwner::Enemy && !b->Spent && b->X > ship.X - 20 &&
                    b->X < ship.X + ship.Width + 220 && b->Y + b->Height > ship.Y - 12 &&
                    b->Y < ship.Y + ship.Height + 12)
                    dodge(b->Y, b->Height);
        }
        Hold(TKey::Up, upHeld_, up);
        Hold(TKey::Down, downHeld_, down);
        Hold(TKey::Left, leftHeld_, left);
        Hold(TKey::Right, rightHeld_, right);

        if (Chance(60))
            game_.MouseMove(now_, Between(-20, 20), Between(-20, 20));
        if (Chance(2))
            game_.Press(now_, TKey::P);
        if (Chance(1) && Chance(300))
            game_.Press(now_, TKey::Escape);
        if (Chance(3)) {
            // A gamepad plugged in now and then, its stick and buttons at random
            // (Start and Back, which pause and ask, seldom).
            TJoystickReading pad;
            pad.Kind = Chance(900) ? TJoystickKind::Gamepad : TJoystickKind::None;
            pad.X.Position = Between(-32768, 32767);
            pad.Y.Position = Between(-32768, 32767);
            pad.Buttons = static_cast<uint32_t>(random_()) & static_cast<uint32_t>(random_());
            if (!Chance(50)) {
                pad.SetPadButton(TPadButton::Start, false);
                pad.SetPadButton(TPadButton::Back, false);
            }
            game_.Pad(now_, pad);
            // Let go of the stick and the buttons a moment later.
            TJoystickReading rest;
            rest.Kind = pad.Kind;
            game_.Pad(now_ + Between(10, 120), rest);
        }
    }

    void Answer() {
        const TGameState& s = game_.State();
        ++outOfGame_;
        Hold(TKey::Up, upHeld_, false);
        Hold(TKey::Down, downHeld_, false);
        Hold(TKey::Left, leftHeld_, false);
        Hold(TKey::Right, rightHeld_, false);
        if (waitAnswer_ < 0)
            waitAnswer_ = Between(5, 240);
        if (--waitAnswer_ > 0)
            return;
        waitAnswer_ = -1;
        switch (s.Cursor.WindowKind) {
        case TWindowKind::Pause:
            game_.Press(now_, Chance(800) ? TKey::P : TKey::Escape);
            return;
        case TWindowKind::ExitToMenu:
        case TWindowKind::ExitGame:
        case TWindowKind::ClearTable:
        case TWindowKind::SendQuestion:
            game_.Press(now_, Chance(300) ? TKey::Y : TKey::N);
            return;
        case TWindowKind::NameEntry:
            for (int32_t i = Between(0, 8); i > 0; --i)
                game_.Char(now_, static_cast<uint8_t>('A' + Between(0, 25)));
            game_.Char(now_, 13);
            return;
        case TWindowKind::LevelBanner:
        case TWindowKind::GameOver:
        case TWindowKind::Sending:
            return;
        case TWindowKind::None:
            break;
        }
        if (s.Cursor.ScreenCode == TScreenCode::MainMenu && Chance(800)) {
            game_.Form->ActivateItemNo(1); // "New game"
            return;
        }
        game_.Press(now_, Chance(500) ? TKey::Escape : TKey::Enter);
    }

    void Noise() {
        if (Chance(10)) {
            const TKey key = kNoiseKeys[random_() % std::size(kNoiseKeys)];
            if (key == TKey::Escape && !Chance(100))
                return;
            game_.Press(now_, key);
        }
        if (Chance(5))
            game_.Click(now_, Between(0, 799), Between(0, 599));
    }

    TScenario& game_;
    std::mt19937 random_;
    int64_t now_ = 0;
    TKey fireKey_ = TKey::Space;
    bool fireHeld_ = false;
    bool upHeld_ = false, downHeld_ = false, leftHeld_ = false, rightHeld_ = false;
    int32_t mode_ = 0;
    int32_t modeFrames_ = 0;
    bool randomUp_ = false, randomDown_ = false, randomRight_ = false;
    int32_t waitAnswer_ = -1;
    int64_t outOfGame_ = 0;
};

/// Out of a game this long (a menu screen that the random keys do not leave),
/// the session is closed and another program starts.
constexpr int64_t kMaxFramesOutOfGame = 3000;

/// A recorded game and the state hash the game had after each of its frames.
struct TRecordedGame {
    TReplay Replay;
    std::vector<uint64_t> Hashes;
};

/// Plays every recorded game back, one after another on one headless main window,
/// and compares the state after every frame; the last frame compares the end's
/// progress (the sprites then depend on the table of the machine that plays).
void CheckReplays(const std::vector<TRecordedGame>& games, uint32_t seed, TSoakResult& result) {
    TScenario player(seed);
    TMForm& form = *player.Form;
    form.DrawFrames = false;
    for (size_t g = 0; g < games.size() && result.Failures.empty(); ++g) {
        const TRecordedGame& game = games[g];
        const std::string which = "replay of game " + std::to_string(g + 1) + ", ";
        TReplayPlayback playback(form, game.Replay);
        while (playback.Step()) {
            const uint32_t frame = playback.FramesPlayed();
            const bool last = frame == game.Replay.FrameCount;
            if (!last && form.StateHash() != game.Hashes[frame - 1]) {
                result.Failures.push_back(which + "frame " + std::to_string(frame) +
                                          ": the state differs from the game's");
                break;
            }
        }
        if (playback.Failure())
            result.Failures.push_back(which + *playback.Failure());
        result.ReplayedFrames += playback.FramesPlayed();
        ++result.ReplaysChecked;
        form.LeaveReplayedGame();
    }
}

} // namespace

TSoakResult RunSoak(int64_t frames, uint32_t seed, const std::string& replayFolder) {
    TSoakResult result;
    std::unique_ptr<TScenario> game;
    std::unique_ptr<TRandomPlayer> player;
    TSeen seen;
    std::vector<TRecordedGame> recorded;
    std::vector<uint64_t> hashes;
    while (result.Frames < frames && result.Failures.empty()) {
        if (!game || game->Ended() || player->OutOfGame() > kMaxFramesOutOfGame) {
            player.reset();
            game.reset();
            const uint32_t sessionSeed = seed + static_cast<uint32_t>(result.Sessions);
            game = std::make_unique<TScenario>(sessionSeed);
            TMForm& form = *game->Form;
            form.FrameRecorded = [&hashes, &form] { hashes.push_back(form.StateHash()); };
            form.ReplayKept = [&hashes, &recorded, &replayFolder](const TReplay& replay) {
                if (hashes.size() != replay.FrameCount)
                    hashes.clear(); // a game the soak saw only the end of
                recorded.push_back({replay, std::move(hashes)});
                hashes.clear();
                if (!replayFolder.empty()) {
                    const auto bytes = EncodeReplay(replay);
                    std::ofstream(std::filesystem::path(replayFolder) /
                                      ("game-" + std::to_string(recorded.size()) + ".vrp"),
                                  std::ios::binary)
                        .write(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<std::streamsize>(bytes.size()));
                }
            };
            hashes.clear();
            player = std::make_unique<TRandomPlayer>(*game, sessionSeed * 7919u + 17u);
            ++result.Sessions;
            seen = TSeen{};
        }
        player->Act();
        if (game->RunFrames(1) == 0 && !game->Ended()) {
            result.Failures.push_back("the game stopped showing frames");
            break;
        }
        ++result.Frames;
        if (game->Ended())
            continue;
        TGameState& s = game->State();
        if (seen.Screen != TScreenCode::Game && s.Cursor.ScreenCode == TScreenCode::Game)
            ++result.Games;
        const TSeen now = Look(*game);
        Tally(seen, now, *game, result);
        seen = now;
        result.HighestLevel = std::max(result.HighestLevel, s.Progress.Level);
        result.BestScore = std::max(result.BestScore, s.Progress.Score);
        for (const std::string& f : game->Form->Pools().CheckInvariants())
            result.Failures.push_back(f);
        CheckTree(*game->Form, result.Failures);
        if (!result.Failures.empty())
            result.Failures.insert(result.Failures.begin(),
                                   "frame " + std::to_string(result.Frames) + ":");
    }
    // A game still running when the soak stops has no end to check against.
    player.reset();
    game.reset();
    std::erase_if(recorded, [](const TRecordedGame& g) { return g.Hashes.empty(); });
    if (result.Failures.empty())
        CheckReplays(recorded, seed ^ 0x5EEDu, result);
    return result;
}

} // namespace vantorel::testing

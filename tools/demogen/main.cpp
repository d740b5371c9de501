// vantorel-demogen: makes the demo the main menu shows when left alone.
//
//   vantorel-demogen DATA OUT.vrp
//
// A scripted pilot plays one game on the game's own main window, headless (no
// display, sound or network), from a fixed seed, through the same recorder as a
// player's game: it starts a game from the menu, holds fire, keeps to the left
// part of the screen, dodges what comes close and otherwise lines up with the
// nearest enemy ahead, and after 75 seconds (or when its last life goes) leaves
// the game and signs it.
// The replay the game keeps is written to OUT.vrp. DATA is the game's data folder
// (Res, Music and Fonts); the game runs in a folder of its own made for the run,
// so that no save or replay of the player's is read or written. Exit 0 when the
// replay was written, 1 when the game could not run or kept none.
#include "app/main_window.hpp"
#include "common/common_options.hpp"
#include "gameplay/game_pools.hpp"
#include "objects/bullet.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "platform/headless_desktop.hpp"
#include "replay/replay_file.hpp"
#include "storage/save_files.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace vantorel;
namespace fs = std::filesystem;

constexpr const char* kName = "vantorel-demogen";
constexpr const char* kUsage = "usage: vantorel-demogen DATA OUT.vrp\n";

/// The seed of the menu's generator, and so of the game the demo shows.
constexpr uint32_t kSeed = 78;
/// The display the game is played on: 60 Hz, frames 17, 17 and 16 ms apart.
constexpr int32_t kRateHz = 60;
constexpr int32_t kLags[3] = {17, 17, 16};
/// How long the pilot plays before leaving the game, in frames.
constexpr int64_t kPlayFrames = 75 * kRateHz;
/// The most frames the whole run may take.
constexpr int64_t kMaxFrames = 120 * kRateHz;
/// The pilot keeps its ship between these x (display pixels).
constexpr double kLeftmostX = 90;
constexpr double kRightmostX = 300;
/// Closer than this vertically counts as in line with the target.
constexpr double kInLine = 6;
/// What the pilot watches out for: enemies and their shots up to this far ahead
/// (or this far behind) that pass within kClearance of the ship vertically.
constexpr double kLookAhead = 120;
constexpr double kBehind = 10;
constexpr double kClearance = 10;
/// The part of the screen the ship flies in, and the room it wants to turn.
constexpr double kTopY = 90;
constexpr double kBottomY = 540;
constexpr double kRoom = 60;
/// Frames a dodge goes on.
constexpr int32_t kDodgeFrames = 24;

/// A folder of the run's own whose Data/ shows the given data folder's parts.
class TRunFolder {
public:
    explicit TRunFolder(const fs::path& data) {
        folder_ = fs::temp_directory_path() / ("vantorel-demogen-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "Data");
        for (const char* part : {"Res", "Music", "Fonts"})
            fs::create_directory_symlink(fs::absolute(data / part), folder_ / "Data" / part);
    }
    ~TRunFolder() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    TRunFolder(const TRunFolder&) = delete;
    TRunFolder& operator=(const TRunFolder&) = delete;
    const fs::path& Path() const { return folder_; }

private:
    fs::path folder_;
};

/// The y of the nearest monster ahead of the ship; nullopt when none is.
std::optional<double> TargetY(TMForm& form, const TPlayer& ship) {
    std::optional<double> best;
    double bestDistance = 0;
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot) {
        const TMonster* m = form.Pools().Monster(slot);
        if (m == nullptr || m->X + m->Width / 2.0 < ship.X)
            continue;
        const double distance = m->X - ship.X + std::abs(m->Y - ship.Y);
        if (!best || distance < bestDistance) {
            best = m->Y + m->Height / 2.0 - ship.Height / 2.0;
            bestDistance = distance;
        }
    }
    return best;
}

/// The centre y of the nearest enemy or enemy shot about to reach the ship;
/// nullopt when the way is clear. Pictures are judged by their middle half, where
/// their shapes are.
std::optional<double> ThreatY(TMForm& form, const TPlayer& ship) {
    std::optional<double> nearest;
    double nearestDistance = 0;
    const double shipTop = ship.Y + ship.Height / 4.0;
    const double shipBottom = ship.Y + ship.Height * 3 / 4.0;
    const double shipRight = ship.X + ship.Width * 3 / 4.0;
    const auto consider = [&](const TSprite& s) {
        const double top = s.Y + s.Height / 4.0;
        const double bottom = s.Y + s.Height * 3 / 4.0;
        const double ahead = s.X + s.Width / 4.0 - shipRight;
        const double overlap = std::min(bottom, shipBottom) - std::max(top, shipTop);
        if (ahead < -ship.Width - kBehind || ahead > kLookAhead || overlap < -kClearance)
            return;
        if (!nearest || ahead < nearestDistance) {
            nearest = (top + bottom) / 2;
            nearestDistance = ahead;
        }
    };
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
        if (const TMonster* m = form.Pools().Monster(slot))
            consider(*m);
    for (int32_t slot = 1; slot <= IGameWorld::kBulletSlots; ++slot)
        if (const TBullet* b = form.Pools().Bullet(slot);
            b != nullptr && b->Owner == TBulletOwner::Enemy)
            consider(*b);
    return nearest;
}

/// The pilot: holds fire, keeps to the left part of the screen, gets out of the
/// way of what comes at it and otherwise lines up with the nearest enemy ahead. A
/// dodge, once begun, goes on for a while the same way, so that the pilot does
/// not turn back into what it avoided.
class TPilot {
public:
    TInputSnapshot Steer(TMForm& form) {
        TInputSnapshot in;
        const TPlayer* ship = form.Fixed.Player;
        if (ship == nullptr || ship->State != TPlayerState::Flying) {
            dodgeFrames_ = 0;
            return in;
        }
        in.SetHeldBy(TFireControl::Space, true);
        if (ship->X < kLeftmostX)
            in.SetSteers(TDirection::Right, true);
        else if (ship->X > kRightmostX)
            in.SetSteers(TDirection::Left, true);
        const double centre = ship->Y + ship->Height / 2.0;
        if (const std::optional<double> threat = ThreatY(form, *ship);
            threat && dodgeFrames_ == 0) {
            // Out of its way, unless the edge of the sky is too near on that side.
            const bool away = *threat > centre;
            dodgeUp_ = away ? centre > kTopY + kRoom : centre > kBottomY - kRoom;
            dodgeFrames_ = kDodgeFrames;
        }
        if (dodgeFrames_ > 0) {
            --dodgeFrames_;
            const bool blocked = dodgeUp_ ? centre < kTopY : centre > kBottomY;
            if (!blocked)
                in.SetSteers(dodgeUp_ ? TDirection::Up : TDirection::Down, true);
        } else if (const std::optional<double> y = TargetY(form, *ship)) {
            if (*y < ship->Y - kInLine)
                in.SetSteers(TDirection::Up, true);
            else if (*y > ship->Y + kInLine)
                in.SetSteers(TDirection::Down, true);
        }
        return in;
    }

private:
    int32_t dodgeFrames_ = 0;
    bool dodgeUp_ = false;
};

TInputSnapshot Typed(const std::string& text) {
    TInputSnapshot in;
    in.Typed = text;
    return in;
}

int Generate(const fs::path& data, const fs::path& out) {
    TRunFolder run(data);
    const fs::path old = fs::current_path();
    fs::current_path(run.Path());
    struct TBack {
        fs::path To;
        ~TBack() {
            std::error_code ec;
            fs::current_path(To, ec);
        }
    } back{old};

    THeadlessDesktop desktop;
    TMForm form(desktop.Services(), kSeed);
    form.DrawFrames = false;
    if (!form.FormCreate()) {
        for (const std::string& e : desktop.Errors)
            std::fprintf(stderr, "%s: %s\n", kName, e.c_str());
        return 1;
    }
    std::optional<TReplay> kept;
    form.ReplayKept = [&kept](const TReplay& r) { kept = r; };

    TPilot pilot;
    int64_t frame = 0;
    int64_t gameFrames = 0;
    bool leaving = false;
    const auto play = [&](const TInputSnapshot& in) {
        form.Frame(kLags[frame % 3], in);
        ++frame;
    };
    // The menu fades in, then "New game" (the lit item).
    for (int i = 0; i < 2 * kRateHz; ++i)
        play({});
    play(Typed("\r"));
    const auto& cursor = form.State.Cursor;
    while (!kept && frame < kMaxFrames) {
        if (cursor.ScreenCode != TScreenCode::Game) {
            // The game is over and not good enough for the table: kept unsigned.
            play({});
            continue;
        }
        // Good enough for the table: the pilot signs it.
        if (cursor.WindowKind == TWindowKind::NameEntry) {
            play(Typed("DEMO\r"));
            continue;
        }
        if (cursor.WindowKind == TWindowKind::ExitToMenu) {
            TInputSnapshot yes;
            yes.SetPressed(TInputKey::Y, true);
            play(yes);
            continue;
        }
        ++gameFrames;
        if (gameFrames >= kPlayFrames && !leaving && cursor.WindowKind == TWindowKind::None) {
            leaving = true;
            TInputSnapshot esc;
            esc.SetPressed(TInputKey::Esc, true);
            play(esc);
            continue;
        }
        play(pilot.Steer(form));
    }
    if (!kept) {
        std::fprintf(stderr, "%s: the game kept no replay in %lld frames\n", kName,
                     static_cast<long long>(frame));
        return 1;
    }
    const std::vector<uint8_t> bytes = EncodeReplay(*kept);
    fs::current_path(old);
    std::error_code ec;
    if (out.has_parent_path())
        fs::create_directories(out.parent_path(), ec);
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        std::fprintf(stderr, "%s: cannot write \"%s\"\n", kName, out.string().c_str());
        return 1;
    }
    std::printf("%s: score %d level %d, %u frames (%.1f s), %zu bytes\n", out.string().c_str(),
                kept->FinalScore, kept->FinalLevel, kept->FrameCount,
                kept->FrameCount / static_cast<double>(kRateHz), bytes.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (auto done = vantorel::tools::AnswerCommonOptions(argc, argv, kName, kUsage))
        return *done;
    if (argc != 3)
        return vantorel::tools::UsageError(kUsage);
    try {
        return Generate(fs::absolute(argv[1]), fs::absolute(argv[2]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", kName, e.what());
        return 1;
    }
}

// A busy game frame on one thread: every pool full (50 bullets, 10 monsters, 5
// ground guns, 5 bonuses), explosions playing, the ship firing with a special
// weapon whose time shows on the panel. Timed: the draw pass, the game tick (the
// move pass with its collisions, the spawners, the heads-up display's text and
// the sweep) and the freeing of dead sprites; the pools are topped up again
// between frames, untimed. The counters give the median frame in milliseconds
// and its share of the 11.76 ms a frame may take at 85 Hz.
//
// The game's data (a folder holding Res/, Music/ and Fonts/) is taken from
// --data=DIR, then $VANTOREL_DATA, then Data/ in the working folder, then the Data/
// of the build the program sits in (build/bench/game_frame_bench finds build/Data).
// Without it, or when a frame cannot be set up, the program exits 1.
#include "app/main_window.hpp"
#include "engine/surface.hpp"
#include "gameplay/game_flow.hpp"
#include "gameplay/game_pools.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "platform/audio_output.hpp"
#include "platform/desktop_services.hpp"
#include "platform/event_source.hpp"
#include "platform/http_client.hpp"
#include "platform/joystick_device.hpp"
#include "platform/keyboard_state.hpp"
#include "platform/link_opener.hpp"
#include "platform/pointer.hpp"
#include "platform/sdl_font_renderer.hpp"
#include "platform/video_output.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vantorel {
namespace {

constexpr double kFrameBudgetMs = 1000.0 / 85;

/// Set when a benchmark could not run, so the program's exit status says so.
bool gFailed = false;

/// The main window over null desktop services, in a game at level 7 (every enemy
/// kind allowed), with the pools kept full.
class TBusyGame {
public:
    TBusyGame() {
        form_ = std::make_unique<TMForm>(services_, 1);
        form_->FormCreate();
        TGameState& s = form_->State;
        if (form_->MDXImageList2.Items.Count() == 0)
            return;
        if (s.Cursor.ScreenCode != TScreenCode::Game)
            form_->NewGame();
        form_->CloseWindow();
        form_->Flow().StartLevel(7);
        form_->CloseWindow();
        s.Timing.FrameMs = 11;
        s.Timing.FrameFactor = 1.0;
        s.Input.SetHeldBy(TFireControl::Space, true);
        ready_ = form_->Fixed.Player != nullptr;
    }

    bool Ready() const { return ready_; }
    TMForm& Form() { return *form_; }

    /// Fills every free slot again and keeps the game from ending or moving on.
    void TopUp() {
        TGameState& s = form_->State;
        TGamePools& pools = form_->Pools();
        s.Progress.Lives = 3;
        s.Progress.MonstersLeft = 1000;
        s.Progress.LevelFinishing = false;
        if (TPlayer* ship = form_->Fixed.Player; ship != nullptr && !ship->Leaving &&
                                                 ship->State != TPlayerState::Exploding &&
                                                 !ship->WeaponOn[7]) {
            ship->ArmBonus(TBonusKind::PlasmaGun3x); // its time shows on the panel
        }
        for (int32_t k = 0; pools.MonsterCount() < IGameWorld::kMonsterSlots; ++k) {
            pools.AddMonster(250 + 50 * (next_ % 10), 0, 6, next_ % 6);
            ++next_;
        }
        // Every third monster is exploding.
        for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; slot += 3)
            if (TMonster* m = pools.Monster(slot))
                m->Explode();
        while (pools.GroundGunCount() < IGameWorld::kGroundGunSlots) {
            pools.AddGroundGun(100 + 130 * (next_ % 5), 490, 6, next_ % 2);
            ++next_;
        }
        while (pools.BonusCount() < IGameWorld::kBonusSlots) {
            pools.AddBonus(250 + 90 * (next_ % 5), 120 + 70 * (next_ % 5), 9, next_ % 10);
            ++next_;
        }
        while (pools.BulletCount() < IGameWorld::kBulletSlots) {
            const int32_t i = next_++;
            const int32_t x = 120 + 13 * (i % 50);
            const int32_t y = 90 + 9 * (i % 45);
            switch (i % 5) {
            case 0:
                pools.AddBullet(x, y, 9, 10, 0, TBulletKind::Laser, TBulletOwner::Player, 0);
                break;
            case 1:
                pools.AddBullet(x, y, 9, 7, 15, TBulletKind::Plasma, TBulletOwner::Player, 0);
                break;
            case 2:
                pools.AddBullet(x, y, 9, 2, 10, TBulletKind::Rocket, TBulletOwner::Player, 0);
                break;
            case 3:
                pools.AddBullet(x, y, 6, -6, 0, TBulletKind::Plasma, TBulletOwner::Enemy, 0);
                break;
            default:
                pools.AddBullet(x, y, 6, 3, -128, TBulletKind::Rocket, TBulletOwner::Enemy, 0);
                break;
            }
        }
    }

    /// The timed part of one frame, in the main window's order without the input
    /// update and the flip.
    void Frame() {
        TDirectDrawSurface* back = form_->MDXDraw.Surface();
        back->Fill(0);
        form_->MDXSpriteEngine.Draw();
        form_->Flow().GameTick(11);
        form_->MDXSpriteEngine.FreeDead();
        back->ReleaseCanvas();
    }

private:
    TNullVideoOutput video_;
    TScriptedEventSource events_;
    TNullPointer pointer_;
    TScriptedKeyboardState keyboard_;
    TScriptedJoystickDevice joystick_;
    TRecordingLinkOpener links_;
    TNullAudioOutput audio_;
    TRecordingHttpClient http_;
    TSdlFontRenderer fonts_;
    uint32_t now_ = 1000;
    TDesktopServices services_{
        video_,
        events_,
        pointer_,
        keyboard_,
        joystick_,
        links_,
        audio_,
        http_,
        fonts_,
        [this] { return now_; },
        [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }};
    std::unique_ptr<TMForm> form_;
    bool ready_ = false;
    int32_t next_ = 0;
};

void ReportFrames(benchmark::State& state, std::vector<double>& ms) {
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    state.counters["median_ms"] = median;
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters["budget_share"] = median / kFrameBudgetMs;
}

void BM_BusyGameFrame(benchmark::State& state) {
    TBusyGame game;
    if (!game.Ready()) {
        gFailed = true;
        state.SkipWithError("the game's data did not load (see above)");
        return;
    }
    std::vector<double> ms;
    int64_t sprites = 0;
    for (auto _ : state) {
        state.PauseTiming();
        game.TopUp();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        game.Frame();
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        sprites += game.Form().MDXSpriteEngine.Engine.Count();
    }
    ReportFrames(state, ms);
    state.counters["sprites"] = static_cast<double>(sprites) / static_cast<double>(ms.size());
}
BENCHMARK(BM_BusyGameFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

/// The same frame through the main window's whole frame: the input update, the
/// frame-rate quantities and the flip (a copy of the back surface to the null output).
void BM_BusyMainWindowFrame(benchmark::State& state) {
    TBusyGame game;
    if (!game.Ready()) {
        gFailed = true;
        state.SkipWithError("the game's data did not load (see above)");
        return;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        state.PauseTiming();
        game.TopUp();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        game.Form().MDXTimerTimer(11);
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    ReportFrames(state, ms);
}
BENCHMARK(BM_BusyMainWindowFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

namespace fs = std::filesystem;

/// Takes --data=DIR or --data DIR out of the command line; empty when absent.
std::string TakeDataOption(int& argc, char** argv) {
    std::string data;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--data="))
            data = arg.substr(7);
        else if (arg == "--data" && i + 1 < argc)
            data = argv[++i];
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    return data;
}

bool HoldsData(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / "Res" / "Res2.dxg", ec);
}

/// The data folder in the order above; empty when none holds the data. Every place
/// looked in is added to looked.
fs::path FindData(const std::string& option, std::vector<fs::path>& looked) {
    std::vector<fs::path> places;
    if (!option.empty()) {
        places.emplace_back(option);
    } else {
        if (const char* v = std::getenv("VANTOREL_DATA"); v != nullptr && *v != '\0')
            places.emplace_back(v);
        places.emplace_back("Data");
        std::error_code ec;
        const fs::path program = fs::read_symlink("/proc/self/exe", ec);
        if (!ec)
            places.push_back(program.parent_path().parent_path() / "Data");
    }
    for (const fs::path& place : places) {
        looked.push_back(place);
        if (HoldsData(place))
            return fs::absolute(place);
    }
    return {};
}

/// The game reads Data/... from the working folder: works from the data folder's
/// parent, or, for a folder named otherwise, from a temporary folder whose Data
/// links to it (returned, for removal at the end).
fs::path EnterData(const fs::path& data) {
    if (data.filename() == "Data") {
        fs::current_path(data.parent_path());
        return {};
    }
    std::string pattern = (fs::temp_directory_path() / "vantorel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    const fs::path temp = pattern;
    fs::create_directory_symlink(data, temp / "Data");
    fs::current_path(temp);
    return temp;
}

} // namespace
} // namespace vantorel

int main(int argc, char** argv) {
    using namespace vantorel;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0)
            std::printf("game_frame_bench [--data=DIR] [benchmark options]\n"
                        "  --data=DIR  the game's data folder (Res/, Music/, Fonts/); also "
                        "$VANTOREL_DATA,\n"
                        "              else Data/ here or in the build holding the program\n\n");
    const std::string option = TakeDataOption(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    std::vector<fs::path> looked;
    const fs::path data = FindData(option, looked);
    if (data.empty()) {
        std::fprintf(stderr, "game_frame_bench: the game's data (Res/Res2.dxg) is in none of:\n");
        for (const fs::path& place : looked)
            std::fprintf(stderr, "  %s\n", place.c_str());
        std::fprintf(stderr, "give it with --data=DIR or VANTOREL_DATA=DIR\n");
        return 1;
    }
    fs::path temp;
    try {
        temp = EnterData(data);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "game_frame_bench: %s: %s\n", data.c_str(), e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!temp.empty()) {
        std::error_code ec;
        fs::remove_all(temp, ec);
    }
    return gFailed ? 1 : 0;
}

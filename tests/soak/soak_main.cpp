// vantorel_soak [FRAMES [SEED [REPLAY_FOLDER]]]: plays FRAMES frames (default
// 200000) of random input and fails on the first broken pool invariant, then
// plays every recorded game back and fails on the first frame whose state differs.
// With a REPLAY_FOLDER the recordings are written there too, for another build
// to play back. A run of 100,000 frames or
// more also fails when it never saw a death, a game over, three cleared levels, a
// collected bonus or a pause: the random play no longer reaches the whole game.
// Run it in the build directory, where Data/ is.
#include "soak/soak.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    const long long frames = argc > 1 ? std::atoll(argv[1]) : 200000;
    const auto seed = static_cast<uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1);
    const std::string replayFolder = argc > 3 ? argv[3] : "";
    if (!replayFolder.empty())
        std::filesystem::create_directories(replayFolder);
    const auto r = vantorel::testing::RunSoak(frames, seed, replayFolder);
    std::printf("soak: %lld frames, %d games, %d sessions, highest level %d, best score %d\n",
                static_cast<long long>(r.Frames), r.Games, r.Sessions, r.HighestLevel, r.BestScore);
    std::printf("soak: seen %d kills, %d levels cleared, %d deaths, %d game overs, %d bonuses "
                "collected, %d pauses\n",
                r.Kills, r.LevelsCleared, r.Deaths, r.GameOvers, r.Bonuses, r.Pauses);
    std::printf("soak: %d recorded games played back, %lld frames\n", r.ReplaysChecked,
                static_cast<long long>(r.ReplayedFrames));
    for (const std::string& f : r.Failures)
        std::printf("  %s\n", f.c_str());

    bool deepEnough = true;
    if (frames >= 100000) {
        const std::pair<const char*, bool> seen[] = {
            {"a death", r.Deaths > 0},
            {"a game over", r.GameOvers > 0},
            {"three cleared levels", r.LevelsCleared >= 3},
            {"a collected bonus", r.Bonuses > 0},
            {"a pause", r.Pauses > 0},
        };
        for (const auto& [what, ok] : seen)
            if (!ok) {
                std::printf("  the random play never reached %s\n", what);
                deepEnough = false;
            }
    }
    return r.Failures.empty() && r.Frames >= frames && deepEnough ? EXIT_SUCCESS : EXIT_FAILURE;
}

// A long game with random input (keys, mouse, gamepad) from a fixed seed, checking
// after every frame that the pools hold what they say they hold. Every game is
// recorded, and a second pass plays each recording back on one other main window
// and compares the game's state hash after every frame with the one the game had. The input is
// random but plays like a keen player: fire held most of the time, the ship often
// steered towards the nearest enemy, pauses and questions now and then, so that
// a long run reaches later levels, deaths, game overs and bonuses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel::testing {

struct TSoakResult {
    int64_t Frames = 0;
    int32_t Games = 0;    ///< games started (the game may end and start again)
    int32_t Sessions = 0; ///< programs run (exiting through the question starts another)
    int32_t HighestLevel = 0;
    int32_t BestScore = 0;
    int32_t Kills = 0;          ///< monsters shot down (the quota counts them)
    int32_t LevelsCleared = 0;  ///< level banners after the first of a game
    int32_t Deaths = 0;         ///< the ship exploded
    int32_t GameOvers = 0;      ///< "Game Over" windows
    int32_t Bonuses = 0;        ///< bonuses the ship collected
    int32_t Pauses = 0;         ///< pause windows opened
    int32_t ReplaysChecked = 0; ///< recorded games played back frame by frame
    int64_t ReplayedFrames = 0;
    /// The first broken invariant, with the frame it broke on; empty when none did.
    std::vector<std::string> Failures;
};

/// Plays frames frames. seed drives both the game and the random input. With a
/// replayFolder, every recorded game is also written there as game-N.vrp.
TSoakResult RunSoak(int64_t frames, uint32_t seed, const std::string& replayFolder = {});

} // namespace vantorel::testing

// A long game with random input (keys, mouse, gamepad) from a fixed seed, checking
// after every frame that the pools hold what they say they hold.
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
    /// The first broken invariant, with the frame it broke on; empty when none did.
    std::vector<std::string> Failures;
};

/// Plays frames frames. seed drives both the game and the random input.
TSoakResult RunSoak(int64_t frames, uint32_t seed);

} // namespace vantorel::testing

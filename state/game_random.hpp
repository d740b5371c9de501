// The one program-wide random generator of the game rules, seeded at start-up
// (tests seed it fixed, and a game played again from the same seed and input
// draws the same numbers).
#pragma once

#include <cstdint>
#include <random>

namespace vantorel {

/// The one program-wide random generator, seeded at start-up (tests seed it fixed).
class TGameRandom {
public:
    void Seed(uint32_t seed) {
        engine_.seed(seed);
        draws_ = 0;
    }
    /// A uniform integer 0..n-1; 0 when n <= 0.
    int32_t operator()(int32_t n);
    /// Numbers drawn since the last Seed: two runs of the rules that drew a
    /// different count have parted ways.
    uint64_t Draws() const { return draws_; }

private:
    std::mt19937 engine_{1u};
    uint64_t draws_ = 0;
};

} // namespace vantorel

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
    void Seed(uint32_t seed) { engine_.seed(seed); }
    /// A uniform integer 0..n-1; 0 when n <= 0.
    int32_t operator()(int32_t n);

private:
    std::mt19937 engine_{1u};
};

} // namespace vantorel

#include "state/game_random.hpp"

namespace vantorel {

int32_t TGameRandom::operator()(int32_t n) {
    if (n <= 0)
        return 0;
    ++draws_;
    const uint64_t r = engine_();
    return static_cast<int32_t>((r * static_cast<uint64_t>(n)) >> 32);
}

} // namespace vantorel

#include "state/game_state.hpp"

namespace vantorel {

void StepUpWrap(int32_t& v, int32_t lo, int32_t hi) {
    if (lo < v && v <= hi)
        --v;
    else
        v = hi;
}

void StepDownWrap(int32_t& v, int32_t lo, int32_t hi) {
    if (lo <= v && v < hi)
        ++v;
    else
        v = lo;
}

void StepUpStop(int32_t& v, int32_t lo, int32_t step) {
    CountDown(v, lo, step);
}

void StepDownStop(int32_t& v, int32_t hi, int32_t step) {
    CountUp(v, hi, step);
}

void PullInFromBelow(int32_t& v, int32_t lo, int32_t hi) {
    if (v < lo || v > hi)
        v = lo;
}

void PullInFromAbove(int32_t& v, int32_t lo, int32_t hi) {
    if (v < lo || v > hi)
        v = hi;
}

bool CountDown(int32_t& v, int32_t lo, int32_t step) {
    const int64_t next = int64_t{v} - step;
    if (next < lo)
        return false;
    v = static_cast<int32_t>(next);
    return true;
}

bool CountUp(int32_t& v, int32_t hi, int32_t step) {
    const int64_t next = int64_t{v} + step;
    if (next > hi)
        return false;
    v = static_cast<int32_t>(next);
    return true;
}

} // namespace vantorel

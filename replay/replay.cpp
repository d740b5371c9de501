#include "replay/replay.hpp"

namespace vantorel {

void AppendReplayFrame(TReplay& replay, uint32_t rateHz, uint32_t lagCount,
                       const TInputSnapshot& input) {
    if (!replay.FrameRates.empty() && replay.FrameRates.back().RateHz == rateHz &&
        replay.FrameRates.back().LagCount == lagCount)
        ++replay.FrameRates.back().Frames;
    else
        replay.FrameRates.push_back({rateHz, lagCount, 1});
    if (!replay.Inputs.empty() && replay.Inputs.back().Input == input)
        ++replay.Inputs.back().Frames;
    else
        replay.Inputs.push_back({input, 1});
    ++replay.FrameCount;
}

double ReplaySeconds(const TReplay& replay) {
    double seconds = 0;
    for (const TFrameRateRun& run : replay.FrameRates)
        if (run.RateHz > 0)
            seconds += static_cast<double>(run.Frames) / run.RateHz;
    return seconds;
}

} // namespace vantorel

#include "replay/replay_recorder.hpp"

#include <algorithm>

namespace vantorel {

void TReplayRecorder::Start(uint32_t rulesVersion, uint64_t dataHash, uint32_t seed) {
    replay_ = TReplay{};
    replay_.RulesVersion = rulesVersion;
    replay_.DataHash = dataHash;
    replay_.Seed = seed;
    recording_ = true;
}

void TReplayRecorder::AddFrame(int32_t rateHz, int32_t lagCount, const TInputSnapshot& input) {
    if (!recording_ || replay_.FrameCount >= kReplayMaxFrames)
        return;
    AppendReplayFrame(replay_, static_cast<uint32_t>(std::max(rateHz, 0)),
                      static_cast<uint32_t>(std::max(lagCount, 0)), input);
}

bool TReplayRecorder::StateHashDue() const {
    return recording_ && replay_.FrameCount > 0 &&
           replay_.FrameCount % kReplayFramesPerStateHash == 0 &&
           replay_.StateHashes.size() < ReplayStateHashCount(replay_.FrameCount);
}

void TReplayRecorder::AddStateHash(uint64_t hash) {
    replay_.StateHashes.push_back(hash);
}

void TReplayRecorder::End(int32_t score, int32_t level, uint64_t progressHash) {
    if (!recording_)
        return;
    recording_ = false;
    replay_.FinalScore = score;
    replay_.FinalLevel = level;
    // The hash after the last frame is always the progress's, also when that
    // frame was due a whole state hash.
    if (replay_.FrameCount == 0)
        return;
    if (replay_.StateHashes.size() == ReplayStateHashCount(replay_.FrameCount))
        replay_.StateHashes.back() = progressHash;
    else
        replay_.StateHashes.push_back(progressHash);
}

} // namespace vantorel

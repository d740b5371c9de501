// Records the game being played, one frame at a time, into a TReplay: the frame
// loop adds each frame that ran and, when one is due, the state hash; the end of
// the game closes it with the score, the level and the hash of the final
// progress; the name and add text follow once the player has entered them.
#pragma once

#include "replay/replay.hpp"

#include <cstdint>

namespace vantorel {

class TReplayRecorder {
public:
    /// Starts recording a new game; a recording in progress is dropped.
    void Start(uint32_t rulesVersion, uint64_t dataHash, uint32_t seed);
    /// True between Start and End.
    bool Recording() const { return recording_; }

    /// One frame that ran, at rateHz with the move step lagCount and input.
    /// Frames past kReplayMaxFrames end the recording there.
    void AddFrame(int32_t rateHz, int32_t lagCount, const TInputSnapshot& input);
    /// True when the frame just added is one whose state hash the replay keeps.
    bool StateHashDue() const;
    void AddStateHash(uint64_t hash);

    /// The game ended after the last frame added: its score and level, and the
    /// hash of the final progress (the replay's last hash).
    void End(int32_t score, int32_t level, uint64_t progressHash);

    /// The recording: complete after End, but for the name and add text.
    TReplay& Replay() { return replay_; }
    const TReplay& Replay() const { return replay_; }

private:
    TReplay replay_;
    bool recording_ = false;
};

} // namespace vantorel

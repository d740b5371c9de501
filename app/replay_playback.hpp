// A replay's game played on a main window: started from the main menu with the
// replay's seed, then fed the recorded frames one at a time, each with its frame
// rate, move step and input snapshot, exactly as the game played them. After
// every 60th frame the game's state hash must match the one recorded, and after
// the last frame the game must have ended as the replay says; the first
// difference stops the playback and is named.
#pragma once

#include "replay/replay.hpp"

#include <cstdint>
#include <optional>
#include <string>

namespace vantorel {

class TMForm;

class TReplayPlayback {
public:
    /// The highest frame rate and the longest move step a replay may ask for.
    static constexpr uint32_t kMaxRateHz = 1000;
    static constexpr uint32_t kMaxLagCount = 60000;

    /// form must be at its main menu, outside a game, and outlive the playback.
    TReplayPlayback(TMForm& form, const TReplay& replay);

    /// Why the replay cannot be played on form's rules and data; empty when it
    /// can. Checked before the first frame.
    std::string Refusal() const;

    /// Plays the next frame and checks it. False when nothing was played: the
    /// replay is done, was refused, or a check failed.
    bool Step();

    /// Frames played so far.
    uint32_t FramesPlayed() const { return played_; }
    bool Done() const { return played_ == replay_.FrameCount || failure_.has_value(); }
    /// The first check that failed, naming its frame; nullopt while all agree.
    const std::optional<std::string>& Failure() const { return failure_; }
    const TReplay& Replay() const { return replay_; }

private:
    void Fail(const std::string& why);
    void CheckAfterFrame();

    TMForm& form_;
    const TReplay& replay_;
    uint32_t played_ = 0;
    size_t rateRun_ = 0;
    uint32_t rateUsed_ = 0;
    size_t inputRun_ = 0;
    uint32_t inputUsed_ = 0;
    std::optional<std::string> failure_;
};

} // namespace vantorel

// A whole game as the rules saw it, as one plain value: which rules and data
// played it and from which seed, the frame-rate quantities and the player's
// input snapshot of every frame (both as runs of identical frames, since most
// frames repeat the one before), and how the game ended. Playing the frames again
// through the same rules and data from the same seed gives the same game, which
// the state hashes let a player of the replay check every 60 frames.
#pragma once

#include "state/input_snapshot.hpp"
#include "state/menu_cursor.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

/// The most frames a replay holds: 2^20, about 3.4 hours at 85 Hz.
constexpr uint32_t kReplayMaxFrames = 1u << 20;
/// The most bytes of the name and of the add text.
constexpr uint32_t kReplayMaxTextBytes = 64;
/// One state hash is kept for every this many frames (the first after frame 0).
constexpr uint32_t kReplayFramesPerStateHash = 60;

/// Frames in a row that ran at the same refresh rate with the same lag count.
struct TFrameRateRun {
    /// The frame rate in Hz the frame's speeds and timers ran at (85 / rate and
    /// 1000 / rate per frame).
    uint32_t RateHz = 0;
    /// The frame's move step in milliseconds, as the frame timer gave it.
    uint32_t LagCount = 0;
    /// Frames in the run, at least 1.
    uint32_t Frames = 0;

    bool operator==(const TFrameRateRun&) const = default;
};

/// Frames in a row with the same input snapshot.
struct TInputRun {
    TInputSnapshot Input;
    /// Frames in the run, at least 1.
    uint32_t Frames = 0;

    bool operator==(const TInputRun&) const = default;
};

struct TReplay {
    /// The rules that played the game, and a hash of the data files they read:
    /// a replay plays again only under the same pair.
    uint32_t RulesVersion = 0;
    uint64_t DataHash = 0;
    /// The seed of the rules' random generator at the start of the game.
    uint32_t Seed = 0;

    /// The frames, in order. Both lists cover FrameCount frames.
    std::vector<TFrameRateRun> FrameRates;
    std::vector<TInputRun> Inputs;

    /// How the game ended.
    int32_t FinalScore = 0;
    int32_t FinalLevel = 0;
    uint32_t FrameCount = 0;
    /// What the player entered after the game: Windows-1252 bytes, possibly empty,
    /// at most kReplayMaxTextBytes each.
    std::string Name;
    std::string AddText;
    /// A hash of the game's state after every kReplayFramesPerStateHash frames and
    /// after the last frame: ceil(FrameCount / 60) of them.
    std::vector<uint64_t> StateHashes;

    bool operator==(const TReplay&) const = default;
};

/// Adds one frame to the replay: lengthens the last runs when the frame repeats
/// them, starts new runs when it does not, and counts the frame. The recorder
/// calls it once a frame; the state hashes are its own to add.
void AppendReplayFrame(TReplay& replay, uint32_t rateHz, uint32_t lagCount,
                       const TInputSnapshot& input);

/// True when a recorded game has ended: its screen was left, or the name entry
/// opened over it. The recorder ends the replay in that frame, and a playback
/// must end there too.
constexpr bool RecordedGameEnded(const TMenuCursor& cursor) {
    return cursor.ScreenCode != TScreenCode::Game || cursor.WindowKind == TWindowKind::NameEntry;
}

/// The time the game took to play, in seconds: each frame at its own rate.
double ReplaySeconds(const TReplay& replay);

/// The number of state hashes a replay of frameCount frames holds.
constexpr uint32_t ReplayStateHashCount(uint32_t frameCount) {
    return (frameCount + kReplayFramesPerStateHash - 1) / kReplayFramesPerStateHash;
}

} // namespace vantorel

#include "app/replay_playback.hpp"

#include "app/main_window.hpp"
#include "replay/rules_identity.hpp"

#include <cinttypes>
#include <cstdio>

namespace vantorel {

namespace {

std::string Hex(uint64_t v) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, v);
    return text;
}

} // namespace

TReplayPlayback::TReplayPlayback(TMForm& form, const TReplay& replay)
    : form_(form), replay_(replay) {
    if (std::string why = Refusal(); !why.empty())
        failure_ = std::move(why);
}

std::string TReplayPlayback::Refusal() const {
    if (replay_.RulesVersion != kRulesVersion)
        return "the replay was made by rules version " + std::to_string(replay_.RulesVersion) +
               ", and this game plays version " + std::to_string(kRulesVersion);
    if (replay_.DataHash != form_.DataHash())
        return "the replay was made with other game data (data hash " + Hex(replay_.DataHash) +
               ", this game's is " + Hex(form_.DataHash()) + ")";
    for (const TFrameRateRun& run : replay_.FrameRates)
        if (run.RateHz < 1 || run.RateHz > kMaxRateHz || run.LagCount > kMaxLagCount)
            return "the replay asks for a frame rate of " + std::to_string(run.RateHz) +
                   " Hz with a step of " + std::to_string(run.LagCount) +
                   " ms, which no display runs at";
    return {};
}

void TReplayPlayback::Fail(const std::string& why) {
    if (!failure_)
        failure_ = why;
}

bool TReplayPlayback::Step() {
    if (Done())
        return false;
    if (played_ == 0)
        form_.StartReplayedGame(replay_.Seed);
    const TFrameRateRun& rate = replay_.FrameRates[rateRun_];
    const TInputRun& input = replay_.Inputs[inputRun_];
    form_.State.Timing.SetRate(static_cast<int32_t>(rate.RateHz));
    form_.Frame(static_cast<int32_t>(rate.LagCount), input.Input);
    ++played_;
    if (++rateUsed_ == rate.Frames) {
        ++rateRun_;
        rateUsed_ = 0;
    }
    if (++inputUsed_ == input.Frames) {
        ++inputRun_;
        inputUsed_ = 0;
    }
    CheckAfterFrame();
    return true;
}

void TReplayPlayback::CheckAfterFrame() {
    const TGameState& s = form_.State;
    const bool ended = RecordedGameEnded(s.Cursor);
    const std::string at = "frame " + std::to_string(played_);
    if (played_ < replay_.FrameCount) {
        if (ended) {
            Fail(at + ": the game ended, and the replay goes on to frame " +
                 std::to_string(replay_.FrameCount));
            return;
        }
        if (played_ % kReplayFramesPerStateHash == 0) {
            const uint64_t recorded = replay_.StateHashes[played_ / kReplayFramesPerStateHash - 1];
            const uint64_t hash = form_.StateHash();
            if (hash != recorded)
                Fail(at + ": the game's state differs from the recording (state hash " + Hex(hash) +
                     ", recorded " + Hex(recorded) + ")");
        }
        return;
    }
    // The last frame: the game ended here with the replay's progress.
    if (replay_.StateHashes.back() != form_.ProgressHash())
        Fail(at + ": the game's state at the end differs from the recording");
    else if (s.Progress.Score != replay_.FinalScore)
        Fail(at + ": the game ended with score " + std::to_string(s.Progress.Score) +
             ", and the replay says " + std::to_string(replay_.FinalScore));
    else if (s.Progress.Level != replay_.FinalLevel)
        Fail(at + ": the game ended on level " + std::to_string(s.Progress.Level) +
             ", and the replay says " + std::to_string(replay_.FinalLevel));
}

} // namespace vantorel

#include "replay/replay_recorder.hpp"

#include "replay/replay_file.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace vantorel {
namespace {

// A game of n frames recorded as the frame loop records it: a state hash numbered
// by its frame whenever one is due, then the end with hash 0xE0D.
TReplay Recorded(uint32_t frames) {
    TReplayRecorder recorder;
    recorder.Start(3, 0xDA7A, 77);
    for (uint32_t f = 1; f <= frames; ++f) {
        recorder.AddFrame(85, 11, {});
        if (recorder.StateHashDue())
            recorder.AddStateHash(f);
    }
    recorder.End(1234, 5, 0xE0D);
    EXPECT_FALSE(recorder.Recording());
    return recorder.Replay();
}

// The hashes a player of the replay checks: one after every 60th frame, and the
// end's after the last frame, also when the last frame is a 60th.
TEST(ReplayRecorder, KeepsAHashEvery60FramesAndTheEndsAfterTheLast) {
    struct Case {
        uint32_t Frames;
        std::vector<uint64_t> Hashes;
    };
    const Case cases[] = {
        {1, {0xE0D}},      {59, {0xE0D}},      {60, {0xE0D}},
        {61, {60, 0xE0D}}, {120, {60, 0xE0D}}, {121, {60, 120, 0xE0D}},
    };
    for (const Case& c : cases) {
        const TReplay r = Recorded(c.Frames);
        EXPECT_EQ(r.StateHashes, c.Hashes) << c.Frames << " frames";
        EXPECT_EQ(r.FrameCount, c.Frames);
        EXPECT_EQ(r.FinalScore, 1234);
        EXPECT_EQ(r.FinalLevel, 5);
        EXPECT_EQ(r.Seed, 77u);
        // What the recorder makes is a replay the file takes as it is.
        EXPECT_EQ(DecodeReplay(EncodeReplay(r)), r) << c.Frames << " frames";
    }
}

TEST(ReplayRecorder, RecordsNothingOutsideAGameAndStartsAfresh) {
    TReplayRecorder recorder;
    recorder.AddFrame(85, 11, {});
    recorder.End(5, 1, 1);
    EXPECT_EQ(recorder.Replay().FrameCount, 0u);
    EXPECT_FALSE(recorder.StateHashDue());

    recorder.Start(1, 2, 3);
    TInputSnapshot fire;
    fire.SetHeldBy(TFireControl::Space, true);
    recorder.AddFrame(85, 11, fire);
    recorder.AddFrame(60, 16, fire);
    recorder.Start(1, 2, 4);
    EXPECT_EQ(recorder.Replay().FrameCount, 0u) << "a new game drops the one in progress";
    EXPECT_TRUE(recorder.Replay().Inputs.empty());
    EXPECT_EQ(recorder.Replay().Seed, 4u);
}

} // namespace
} // namespace vantorel

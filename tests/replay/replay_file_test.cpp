#include "replay/replay_file.hpp"

#include "replay/replay_checksum.hpp"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace vantorel {
namespace {

// A replay of frames frames at 85 Hz and lag 1 with no input, its hashes numbered.
TReplay Quiet(uint32_t frames) {
    TReplay r;
    for (uint32_t f = 0; f < frames; ++f)
        AppendReplayFrame(r, 85, 1, {});
    for (uint32_t h = 0; h < ReplayStateHashCount(frames); ++h)
        r.StateHashes.push_back(0x1000 + h);
    return r;
}

TInputSnapshot Busy() {
    TInputSnapshot s;
    s.Steering = 0x0F;
    s.Pressed = (1u << kInputKeyCount) - 1;
    s.FireHeldBy = (1u << kFireControlCount) - 1;
    s.PadHeld = (1u << kPadControlCount) - 1;
    s.PadPressed = s.PadHeld;
    s.MouseDeltaX = INT32_MIN;
    s.MouseDeltaY = INT32_MAX;
    s.PointerX = 799;
    s.PointerY = 599;
    s.PointerMoved = true;
    s.Clicks = UINT32_MAX;
    s.Typed = "N\b\r\x1b\xe9";
    return s;
}

std::string EveryHighByte(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s.push_back(static_cast<char>(0x80 + i));
    return s;
}

struct RoundTripCase {
    const char* Name;
    TReplay Replay;
};

std::vector<RoundTripCase> RoundTripCases() {
    std::vector<RoundTripCase> cases;
    cases.push_back({"a game of no frames", Quiet(0)});
    cases.push_back({"one frame", Quiet(1)});
    cases.push_back({"exactly one hash's frames", Quiet(60)});
    cases.push_back({"one frame past a hash", Quiet(61)});

    TReplay r = Quiet(3);
    r.RulesVersion = UINT32_MAX;
    r.DataHash = UINT64_MAX;
    r.Seed = UINT32_MAX;
    r.FinalScore = INT32_MIN;
    r.FinalLevel = INT32_MAX;
    r.FrameRates = {{UINT32_MAX, UINT32_MAX, 1}, {0, 0, 2}};
    r.Inputs = {{Busy(), 2}, {{}, 1}};
    r.Name = EveryHighByte(kReplayMaxTextBytes);
    r.AddText = std::string(kReplayMaxTextBytes, '\0');
    r.StateHashes = {UINT64_MAX};
    cases.push_back({"every field at its extreme", r});

    r = Quiet(0);
    r.FrameRates = {{85, 1, kReplayMaxFrames}};
    r.Inputs = {{Busy(), kReplayMaxFrames}};
    r.FrameCount = kReplayMaxFrames;
    r.StateHashes.assign(ReplayStateHashCount(kReplayMaxFrames), 0x0123456789ABCDEFu);
    cases.push_back({"the longest game in one run", r});

    r = Quiet(0);
    TInputSnapshot left;
    left.SetSteers(TDirection::Left, true);
    for (uint32_t f = 0; f < 1000; ++f)
        AppendReplayFrame(r, f % 2 ? 60 : 85, 1 + f % 3, f % 2 ? left : Busy());
    r.StateHashes.assign(ReplayStateHashCount(1000), 7);
    cases.push_back({"every frame differs from the one before", r});

    r = Quiet(10);
    r.FrameRates = {{85, 1, 4}, {85, 1, 6}};
    r.Inputs = {{{}, 5}, {{}, 5}};
    cases.push_back({"runs split where they could have been one", r});
    return cases;
}

TEST(ReplayFile, EncodesAndDecodesBackExactly) {
    for (const RoundTripCase& c : RoundTripCases()) {
        SCOPED_TRACE(c.Name);
        const std::vector<uint8_t> bytes = EncodeReplay(c.Replay);
        EXPECT_EQ(DecodeReplay(bytes), c.Replay);
        EXPECT_EQ(EncodeReplay(DecodeReplay(bytes)), bytes);
    }
}

TEST(ReplayFile, AppendingFramesLengthensTheLastRuns) {
    TReplay r;
    TInputSnapshot fire;
    fire.SetHeldBy(TFireControl::Space, true);
    AppendReplayFrame(r, 85, 1, {});
    AppendReplayFrame(r, 85, 1, {});
    AppendReplayFrame(r, 85, 2, fire);
    AppendReplayFrame(r, 85, 1, fire);
    EXPECT_EQ(r.FrameCount, 4u);
    EXPECT_EQ(r.FrameRates, (std::vector<TFrameRateRun>{{85, 1, 2}, {85, 2, 1}, {85, 1, 1}}));
    EXPECT_EQ(r.Inputs, (std::vector<TInputRun>{{{}, 2}, {fire, 2}}));
}

// Ten minutes at 85 Hz as a player gives them: steering and fire held for 10 to
// 100 frames at a time, a key pressed now and then, the mouse still, a late frame
// here and there.
TEST(ReplayFile, ATenMinuteGameFitsWellUnder64KiB) {
    std::mt19937 random(20261210);
    std::uniform_int_distribution<uint32_t> holdFor(10, 100);
    std::uniform_int_distribution<uint32_t> anyOf16(0, 15);
    std::uniform_int_distribution<uint32_t> oneIn(0, 499);
    TReplay r;
    r.RulesVersion = 3;
    r.DataHash = 0xFEEDFACECAFEBEEFu;
    r.Seed = 12345;
    constexpr uint32_t kFrames = 51000;
    uint32_t hold = 0;
    TInputSnapshot held;
    held.PointerX = 412;
    held.PointerY = 287;
    while (r.FrameCount < kFrames) {
        if (hold == 0) {
            hold = holdFor(random);
            held.Steering = static_cast<uint8_t>(anyOf16(random));
            held.FireHeldBy = anyOf16(random) < 10 ? 1 : 0;
        }
        --hold;
        TInputSnapshot frame = held;
        if (oneIn(random) == 0)
            frame.SetPressed(TInputKey::P, true);
        AppendReplayFrame(r, 85, oneIn(random) == 0 ? 2 : 1, frame);
        if (r.FrameCount % kReplayFramesPerStateHash == 0)
            r.StateHashes.push_back((static_cast<uint64_t>(random()) << 32) | random());
    }
    if (r.StateHashes.size() < ReplayStateHashCount(r.FrameCount))
        r.StateHashes.push_back(random());
    r.FinalScore = 184250;
    r.FinalLevel = 7;
    r.Name = "Ren\xe9";
    r.AddText = "Hello";

    const std::vector<uint8_t> bytes = EncodeReplay(r);
    EXPECT_LT(bytes.size(), 64u * 1024u);
    EXPECT_EQ(DecodeReplay(bytes), r);
}

// A small replay with a bit of everything, for the damage tests.
TReplay Small() {
    TReplay r = Quiet(0);
    r.RulesVersion = 2;
    r.DataHash = 0xA5A5A5A5A5A5A5A5u;
    r.Seed = 99;
    TInputSnapshot s = Busy();
    for (uint32_t f = 0; f < 70; ++f)
        AppendReplayFrame(r, 85, f == 30 ? 3 : 1, f < 40 ? TInputSnapshot{} : s);
    r.StateHashes = {11, 22};
    r.FinalScore = 1500;
    r.FinalLevel = 2;
    r.Name = "Pilot";
    r.AddText = "gg";
    return r;
}

std::string DecodeError(std::span<const uint8_t> bytes) {
    try {
        DecodeReplay(bytes);
    } catch (const EReplayFileError& e) {
        return e.what();
    }
    return "(decoded)";
}

TEST(ReplayFile, RefusesEveryCutShortFile) {
    const std::vector<uint8_t> bytes = EncodeReplay(Small());
    for (size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(n));
        EXPECT_NE(DecodeError(prefix).find("truncated at byte " + std::to_string(n)),
                  std::string::npos)
            << DecodeError(prefix);
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_NE(DecodeError(longer).find("after the end"), std::string::npos);
}

TEST(ReplayFile, RefusesEveryDamagedByte) {
    const std::vector<uint8_t> bytes = EncodeReplay(Small());
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (const uint8_t flip : {uint8_t{0x01}, uint8_t{0x80}, uint8_t{0xFF}}) {
            std::vector<uint8_t> damaged = bytes;
            damaged[i] = static_cast<uint8_t>(damaged[i] ^ flip);
            EXPECT_THROW(DecodeReplay(damaged), EReplayFileError) << "byte " << i;
        }
    }
}

// A replay file's fields as written, so a test can write what the encoder would
// refuse to. The defaults are a valid replay of 3 quiet frames.
struct TRawFile {
    std::string Magic = kReplayMagic;
    uint32_t Version = kReplayFormatVersion;
    uint32_t RateRunCount = 1;
    std::vector<std::array<uint32_t, 3>> RateRuns = {{85, 1, 3}};
    uint32_t InputRunCount = 1;
    std::vector<uint32_t> InputRuns = {3};
    std::vector<uint8_t> FirstSnapshot = {kInputSnapshotVersion, 0};
    uint32_t FrameCount = 3;
    uint32_t NameLength = 0;
    std::string Name;
    uint32_t HashCount = 1;
    /// Bytes after the body's last part, inside the compressed body.
    std::vector<uint8_t> AfterBody;
    /// The body's length as the file gives it; nullopt: the true one.
    std::optional<uint32_t> BodySize;
    /// Compressed bytes cut from the end of the compressed body.
    size_t CutPacked = 0;

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out;
        const auto varint = [&out](uint32_t v) {
            for (; v >= 0x80; v >>= 7)
                out.push_back(static_cast<uint8_t>(v | 0x80));
            out.push_back(static_cast<uint8_t>(v));
        };
        const auto zeros = [&out](size_t n) { out.insert(out.end(), n, 0); };
        varint(1);
        zeros(8 + 4);
        varint(RateRunCount);
        for (const auto& run : RateRuns)
            for (uint32_t v : run)
                varint(v);
        varint(InputRunCount);
        for (size_t i = 0; i < InputRuns.size(); ++i) {
            varint(InputRuns[i]);
            if (i == 0)
                out.insert(out.end(), FirstSnapshot.begin(), FirstSnapshot.end());
            else
                out.insert(out.end(), {kInputSnapshotVersion, 0});
        }
        varint(0);
        varint(0);
        varint(FrameCount);
        varint(NameLength);
        out.insert(out.end(), Name.begin(), Name.end());
        varint(0);
        varint(HashCount);
        zeros(8 * static_cast<size_t>(std::min<uint32_t>(HashCount, 1)));
        out.insert(out.end(), AfterBody.begin(), AfterBody.end());
        const std::vector<uint8_t> body = std::move(out);

        out.assign(Magic.begin(), Magic.end());
        varint(Version);
        const size_t lengthAt = out.size();
        zeros(4);
        varint(BodySize.value_or(static_cast<uint32_t>(body.size())));
        uLongf packed = compressBound(body.size());
        const size_t packedAt = out.size();
        out.resize(packedAt + packed);
        EXPECT_EQ(compress(out.data() + packedAt, &packed, body.data(), body.size()), Z_OK);
        out.resize(packedAt + packed - CutPacked);
        const size_t length = out.size() + 4;
        for (size_t i = 0; i < 4; ++i)
            out[lengthAt + i] = static_cast<uint8_t>(length >> (8 * i));
        const uint32_t crc = ReplayChecksum(out);
        for (size_t i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
        return out;
    }
};

struct MalformedCase {
    const char* Name;
    std::function<void(TRawFile&)> Break;
    const char* Reason;
};

TEST(ReplayFile, SaysWhatIsWrongWithAMalformedFile) {
    ASSERT_EQ(DecodeReplay(TRawFile{}.Bytes()).FrameCount, 3u);
    const MalformedCase cases[] = {
        {"another file", [](TRawFile& f) { f.Magic = "VANTOREL-REPLAX"; },
         "does not start with \"VANTOREL-REPLAY\""},
        {"a later version", [](TRawFile& f) { f.Version = 2; },
         "format version 2 is not one this game reads"},
        {"more runs than bytes", [](TRawFile& f) { f.RateRunCount = 1000; },
         "1000 frame-rate runs at byte"},
        {"more runs than frames allowed",
         [](TRawFile& f) { f.InputRunCount = kReplayMaxFrames + 1; }, "1048577 input runs at byte"},
        {"a run of no frames",
         [](TRawFile& f) {
             f.InputRunCount = 2;
             f.InputRuns = {3, 0};
         },
         "a run of 0 frames in the input snapshots"},
        {"runs longer than the limit",
         [](TRawFile& f) {
             f.RateRunCount = 2;
             f.RateRuns = {{85, 1, kReplayMaxFrames}, {85, 1, 1}};
         },
         "the frame-rate runs hold more than 1048576 frames"},
        {"a frame count over the limit", [](TRawFile& f) { f.FrameCount = kReplayMaxFrames + 1; },
         "the frame count 1048577 is over the limit"},
        {"frame-rate runs short of the frame count",
         [](TRawFile& f) {
             f.RateRuns = {{85, 1, 2}};
         },
         "the frame count 3 disagrees with the frame-rate runs, whose run lengths add up to 2"},
        {"input runs past the frame count", [](TRawFile& f) { f.InputRuns = {4}; },
         "the frame count 3 disagrees with the input snapshots"},
        {"a snapshot of another version",
         [](TRawFile& f) {
             f.FirstSnapshot = {9, 0};
         },
         "the snapshot at byte"},
        {"a name over the limit",
         [](TRawFile& f) {
             f.NameLength = kReplayMaxTextBytes + 1;
             f.Name = std::string(kReplayMaxTextBytes + 1, 'x');
         },
         "the name at byte"},
        {"a name running past the end",
         [](TRawFile& f) {
             f.NameLength = 20;
             f.Name = "short";
         },
         "truncated at byte"},
        {"a hash missing", [](TRawFile& f) { f.HashCount = 0; },
         "0 state hashes for 3 frames, which take 1"},
        {"bytes nothing reads",
         [](TRawFile& f) {
             f.AfterBody = {0, 0};
         },
         "2 bytes at byte"},
        {"a body that says it is larger than it is", [](TRawFile& f) { f.BodySize = 1000; },
         "holds 35 bytes, not the 1000 it says"},
        {"a body larger than it says", [](TRawFile& f) { f.BodySize = 10; },
         "holds more than the 10 bytes it says"},
        {"a body over the limit", [](TRawFile& f) { f.BodySize = kReplayMaxBodyBytes + 1; },
         "are over the limit of"},
        {"a compressed body cut short", [](TRawFile& f) { f.CutPacked = 3; },
         "holds more than the 35 bytes it says, or ends early"},
    };
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRawFile file;
        c.Break(file);
        const std::string error = DecodeError(file.Bytes());
        EXPECT_NE(error.find(c.Reason), std::string::npos) << error;
    }

    std::vector<uint8_t> damaged = TRawFile{}.Bytes();
    damaged.back() ^= 1;
    EXPECT_NE(DecodeError(damaged).find("checksum does not match"), std::string::npos);
}

TEST(ReplayFile, RefusesToWriteWhatItCouldNotRead) {
    const std::pair<const char*, std::function<void(TReplay&)>> cases[] = {
        {"a run of no frames",
         [](TReplay& r) {
             r.Inputs.push_back({{}, 0});
         }},
        {"a frame count the runs disagree with", [](TReplay& r) { ++r.FrameCount; }},
        {"frame-rate runs short of the frames", [](TReplay& r) { --r.FrameRates.back().Frames; }},
        {"a name too long", [](TReplay& r) { r.Name = std::string(kReplayMaxTextBytes + 1, 'x'); }},
        {"an add text too long",
         [](TReplay& r) { r.AddText = std::string(kReplayMaxTextBytes + 1, 'x'); }},
        {"a hash too many", [](TReplay& r) { r.StateHashes.push_back(0); }},
    };
    for (const auto& [name, breakIt] : cases) {
        SCOPED_TRACE(name);
        TReplay r = Small();
        breakIt(r);
        EXPECT_THROW(EncodeReplay(r), EReplayFileError);
    }
}

} // namespace
} // namespace vantorel

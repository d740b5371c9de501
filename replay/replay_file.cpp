#include "replay/replay_file.hpp"

#include "replay/replay_checksum.hpp"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace vantorel {

namespace {

constexpr size_t kMagicSize = sizeof(kReplayMagic) - 1;
// The fewest bytes a run can take: a frame-rate run's three varints, or an input
// run's frames and a snapshot without input.
constexpr size_t kMinRunBytes = 3;
constexpr size_t kChecksumBytes = 4;

[[noreturn]] void Fail(const std::string& why) {
    throw EReplayFileError("replay file: " + why);
}

uint32_t ZigZag(int32_t v) {
    return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31);
}

int32_t UnZigZag(uint32_t v) {
    return static_cast<int32_t>((v >> 1) ^ (~(v & 1) + 1));
}

void PutVarint(uint32_t v, std::vector<uint8_t>& out) {
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}

void PutFixed(uint64_t v, int bytes, std::vector<uint8_t>& out) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutText(const std::string& text, std::vector<uint8_t>& out) {
    PutVarint(static_cast<uint32_t>(text.size()), out);
    out.insert(out.end(), text.begin(), text.end());
}

/// Reads forward through bytes [pos, end), refusing to go past end.
class TReader {
public:
    TReader(std::span<const uint8_t> bytes, size_t pos) : bytes_(bytes), pos_(pos) {}

    size_t Pos() const { return pos_; }
    size_t Left() const { return bytes_.size() - pos_; }

    uint8_t Byte() {
        if (pos_ >= bytes_.size())
            Fail("truncated at byte " + std::to_string(bytes_.size()));
        return bytes_[pos_++];
    }

    uint64_t Fixed(int bytes) {
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<uint64_t>(Byte()) << (8 * i);
        return v;
    }

    uint32_t Varint() {
        const size_t start = pos_;
        uint32_t v = 0;
        for (int shift = 0;; shift += 7) {
            const uint8_t b = Byte();
            if (shift == 28 && (b & 0xF0) != 0)
                Fail("the number at byte " + std::to_string(start) + " is larger than 32 bits");
            v |= static_cast<uint32_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0)
                return v;
        }
    }

    /// A count of entries of at least minBytes each, checked against the bytes
    /// left before anything is reserved for them.
    uint32_t Count(const char* what, size_t minBytes, uint32_t limit) {
        const size_t at = pos_;
        const uint32_t n = Varint();
        if (n > limit)
            Fail(std::to_string(n) + " " + what + " at byte " + std::to_string(at) +
                 " are over the limit of " + std::to_string(limit));
        if (n > Left() / minBytes)
            Fail(std::to_string(n) + " " + what + " at byte " + std::to_string(at) +
                 " cannot fit in the " + std::to_string(Left()) +
                 " bytes left: truncated at byte " + std::to_string(bytes_.size()));
        return n;
    }

    std::string Text(const char* what) {
        const size_t at = pos_;
        const uint32_t n = Varint();
        if (n > kReplayMaxTextBytes)
            Fail("the " + std::string(what) + " at byte " + std::to_string(at) + " has " +
                 std::to_string(n) + " bytes, over the limit of " +
                 std::to_string(kReplayMaxTextBytes));
        if (n > Left())
            Fail("truncated at byte " + std::to_string(bytes_.size()) + " in the " + what);
        std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
        pos_ += n;
        return s;
    }

    TInputSnapshot Snapshot() {
        try {
            return ReadInputSnapshot(bytes_, pos_);
        } catch (const EInputSnapshotError& e) {
            Fail("the snapshot at byte " + std::to_string(pos_) + ": " + e.what());
        }
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_;
};

/// Adds a run's frames to a total, refusing totals over kReplayMaxFrames.
void AddFrames(uint32_t& total, uint32_t frames, const char* what) {
    if (frames == 0)
        Fail(std::string("a run of 0 frames in the ") + what);
    if (frames > kReplayMaxFrames - total)
        Fail(std::string("the ") + what + " hold more than " + std::to_string(kReplayMaxFrames) +
             " frames, the limit");
    total += frames;
}

void CheckFrameCount(uint32_t frameCount, uint32_t runFrames, const char* what) {
    if (frameCount != runFrames)
        Fail("the frame count " + std::to_string(frameCount) + " disagrees with the " + what +
             ", whose run lengths add up to " + std::to_string(runFrames));
}

void CheckHashCount(uint32_t frameCount, size_t hashCount) {
    if (hashCount != ReplayStateHashCount(frameCount))
        Fail(std::to_string(hashCount) + " state hashes for " + std::to_string(frameCount) +
             " frames, which take " + std::to_string(ReplayStateHashCount(frameCount)));
}

/// What the reader refuses in a replay's values, so the writer refuses it too.
void CheckReplay(const TReplay& r) {
    uint32_t rateFrames = 0;
    for (const TFrameRateRun& run : r.FrameRates)
        AddFrames(rateFrames, run.Frames, "frame-rate runs");
    uint32_t inputFrames = 0;
    for (const TInputRun& run : r.Inputs)
        AddFrames(inputFrames, run.Frames, "input snapshots");
    CheckFrameCount(r.FrameCount, rateFrames, "frame-rate runs");
    CheckFrameCount(r.FrameCount, inputFrames, "input snapshots");
    if (r.Name.size() > kReplayMaxTextBytes || r.AddText.size() > kReplayMaxTextBytes)
        Fail("a name or add text over the limit of " + std::to_string(kReplayMaxTextBytes) +
             " bytes");
    CheckHashCount(r.FrameCount, r.StateHashes.size());
}

} // namespace

std::vector<uint8_t> EncodeReplay(const TReplay& r) {
    CheckReplay(r);
    std::vector<uint8_t> out;
    PutVarint(r.RulesVersion, out);
    PutFixed(r.DataHash, 8, out);
    PutFixed(r.Seed, 4, out);
    PutVarint(static_cast<uint32_t>(r.FrameRates.size()), out);
    for (const TFrameRateRun& run : r.FrameRates) {
        PutVarint(run.RateHz, out);
        PutVarint(run.LagCount, out);
        PutVarint(run.Frames, out);
    }
    PutVarint(static_cast<uint32_t>(r.Inputs.size()), out);
    for (const TInputRun& run : r.Inputs) {
        PutVarint(run.Frames, out);
        WriteInputSnapshot(run.Input, out);
    }
    PutVarint(ZigZag(r.FinalScore), out);
    PutVarint(ZigZag(r.FinalLevel), out);
    PutVarint(r.FrameCount, out);
    PutText(r.Name, out);
    PutText(r.AddText, out);
    PutVarint(static_cast<uint32_t>(r.StateHashes.size()), out);
    for (uint64_t hash : r.StateHashes)
        PutFixed(hash, 8, out);
    const std::vector<uint8_t> body = std::move(out);
    if (body.size() > kReplayMaxBodyBytes)
        Fail("the body's " + std::to_string(body.size()) + " bytes are over the limit of " +
             std::to_string(kReplayMaxBodyBytes));

    out.assign(kReplayMagic, kReplayMagic + kMagicSize);
    PutVarint(kReplayFormatVersion, out);
    const size_t lengthAt = out.size();
    PutFixed(0, 4, out);
    PutVarint(static_cast<uint32_t>(body.size()), out);
    uLongf packed = compressBound(body.size());
    const size_t packedAt = out.size();
    out.resize(packedAt + packed);
    if (compress2(out.data() + packedAt, &packed, body.data(), body.size(), Z_BEST_COMPRESSION) !=
        Z_OK)
        Fail("the body could not be compressed");
    out.resize(packedAt + packed);

    const uint64_t length = out.size() + kChecksumBytes;
    for (int i = 0; i < 4; ++i)
        out[lengthAt + static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
    PutFixed(ReplayChecksum(out), 4, out);
    return out;
}

TReplay DecodeReplay(std::span<const uint8_t> bytes) {
    const size_t magicSeen = std::min(bytes.size(), kMagicSize);
    if (magicSeen > 0 && std::memcmp(bytes.data(), kReplayMagic, magicSeen) != 0)
        Fail("not a replay: the file does not start with \"" + std::string(kReplayMagic) + "\"");
    TReader header(bytes, 0);
    for (size_t i = 0; i < kMagicSize; ++i)
        header.Byte();
    const uint32_t version = header.Varint();
    if (version != kReplayFormatVersion)
        Fail("format version " + std::to_string(version) +
             " is not one this game reads (it reads version " +
             std::to_string(kReplayFormatVersion) + ")");
    const size_t lengthAt = header.Pos();
    const uint64_t length = header.Fixed(4);
    if (length < header.Pos() + kChecksumBytes)
        Fail("the length " + std::to_string(length) + " at byte " + std::to_string(lengthAt) +
             " is too short for a replay");
    if (length > bytes.size())
        Fail("truncated at byte " + std::to_string(bytes.size()) + " of the " +
             std::to_string(length) + " the file should have");
    if (length < bytes.size())
        Fail(std::to_string(bytes.size() - length) + " bytes after the end of the replay at byte " +
             std::to_string(length));

    const size_t bodyEnd = static_cast<size_t>(length) - kChecksumBytes;
    const auto body = bytes.first(bodyEnd);
    uint32_t stored = 0;
    for (size_t i = 0; i < kChecksumBytes; ++i)
        stored |= static_cast<uint32_t>(bytes[bodyEnd + i]) << (8 * i);
    if (stored != ReplayChecksum(body))
        Fail("the checksum does not match: the file is damaged");

    TReader packedHeader(body, header.Pos());
    const size_t sizeAt = packedHeader.Pos();
    const uint32_t bodySize = packedHeader.Varint();
    if (bodySize > kReplayMaxBodyBytes)
        Fail("the body's " + std::to_string(bodySize) + " bytes at byte " + std::to_string(sizeAt) +
             " are over the limit of " + std::to_string(kReplayMaxBodyBytes));
    std::vector<uint8_t> unpacked(bodySize);
    uLongf unpackedSize = bodySize;
    const auto packed = body.subspan(packedHeader.Pos());
    const int status = uncompress(unpacked.data(), &unpackedSize, packed.data(), packed.size());
    if (status == Z_BUF_ERROR && unpackedSize == bodySize)
        Fail("the compressed body holds more than the " + std::to_string(bodySize) +
             " bytes it says, or ends early");
    if (status != Z_OK)
        Fail("the compressed body is damaged");
    if (unpackedSize != bodySize)
        Fail("the compressed body holds " + std::to_string(unpackedSize) + " bytes, not the " +
             std::to_string(bodySize) + " it says");

    TReader in(unpacked, 0);
    TReplay r;
    r.RulesVersion = in.Varint();
    r.DataHash = in.Fixed(8);
    r.Seed = static_cast<uint32_t>(in.Fixed(4));

    uint32_t rateFrames = 0;
    const uint32_t rateRuns = in.Count("frame-rate runs", kMinRunBytes, kReplayMaxFrames);
    r.FrameRates.reserve(rateRuns);
    for (uint32_t i = 0; i < rateRuns; ++i) {
        TFrameRateRun run;
        run.RateHz = in.Varint();
        run.LagCount = in.Varint();
        run.Frames = in.Varint();
        AddFrames(rateFrames, run.Frames, "frame-rate runs");
        r.FrameRates.push_back(run);
    }

    uint32_t inputFrames = 0;
    const uint32_t inputRuns = in.Count("input runs", kMinRunBytes, kReplayMaxFrames);
    r.Inputs.reserve(inputRuns);
    for (uint32_t i = 0; i < inputRuns; ++i) {
        TInputRun run;
        run.Frames = in.Varint();
        AddFrames(inputFrames, run.Frames, "input snapshots");
        run.Input = in.Snapshot();
        r.Inputs.push_back(std::move(run));
    }

    r.FinalScore = UnZigZag(in.Varint());
    r.FinalLevel = UnZigZag(in.Varint());
    r.FrameCount = in.Varint();
    if (r.FrameCount > kReplayMaxFrames)
        Fail("the frame count " + std::to_string(r.FrameCount) + " is over the limit of " +
             std::to_string(kReplayMaxFrames));
    CheckFrameCount(r.FrameCount, rateFrames, "frame-rate runs");
    CheckFrameCount(r.FrameCount, inputFrames, "input snapshots");
    r.Name = in.Text("name");
    r.AddText = in.Text("add text");

    const uint32_t hashCount = in.Count("state hashes", 8, kReplayMaxFrames);
    CheckHashCount(r.FrameCount, hashCount);
    r.StateHashes.reserve(hashCount);
    for (uint32_t i = 0; i < hashCount; ++i)
        r.StateHashes.push_back(in.Fixed(8));

    if (in.Pos() != unpacked.size())
        Fail(std::to_string(unpacked.size() - in.Pos()) + " bytes at byte " +
             std::to_string(in.Pos()) + " of the body that no part of the replay reads");
    return r;
}

} // namespace vantorel

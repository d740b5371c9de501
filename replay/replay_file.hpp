// The replay file: a TReplay as bytes, and back.
//
// The file is the magic "VANTOREL-REPLAY", the format version (varint) and the
// file's whole length (4 bytes), then the body's length (varint) and the body
// compressed with zlib, then a CRC-32 of every byte before it (4 bytes). All
// numbers are little-endian; varints are base-128, signed ones zigzag-coded.
// The compression takes care of what the runs cannot: the move step of each
// frame is the time the frame took, which wavers by a millisecond from frame to
// frame in a pattern that repeats. The body (byte positions in the reader's
// messages count from its start):
//   - rules version (varint), data hash (8 bytes), seed (4 bytes);
//   - frame-rate runs: their count, then refresh rate, lag count and frames of each;
//   - input runs: their count, then the frames of each and its snapshot in the
//     input snapshot's own bytes (state/input_snapshot.hpp);
//   - final score, final level (signed varints), frame count (varint), name and
//     add text (varint length, then the bytes);
//   - the state hashes: their count, then 8 bytes each.
// A 10-minute game at 85 Hz with the input a player gives takes a few tens of KiB.
#pragma once

#include "replay/replay.hpp"
#include "replay/replay_file_error.hpp"

#include <cstdint>
#include <span>
#include <vector>

namespace vantorel {

/// The file's first bytes.
inline constexpr char kReplayMagic[] = "VANTOREL-REPLAY";
/// The version this game writes and the only one it reads.
constexpr uint32_t kReplayFormatVersion = 1;
/// The largest body a replay may unpack to: a game of kReplayMaxFrames frames
/// with a new run in every frame fits.
constexpr uint32_t kReplayMaxBodyBytes = 8u << 20;

/// The replay's bytes. Throws EReplayFileError when the replay breaks a rule the
/// reader checks (runs of 0 frames, runs or hashes that disagree with FrameCount,
/// more than kReplayMaxFrames frames, texts over kReplayMaxTextBytes), so that
/// nothing is written that cannot be read back.
std::vector<uint8_t> EncodeReplay(const TReplay& replay);

/// The replay in bytes. Throws EReplayFileError, naming what is wrong, for a
/// wrong magic or version, a file that ends early or goes on after its checksum,
/// a checksum that does not match, counts over the limits, and runs or hashes
/// that disagree with the frame count. Never reads past the span, and reserves
/// room only for as many entries as the bytes left could hold.
TReplay DecodeReplay(std::span<const uint8_t> bytes);

} // namespace vantorel

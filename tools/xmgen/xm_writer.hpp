// Writes FastTracker 2 extended modules (version 0x0104): header, packed patterns,
// instruments with one 16-bit delta-coded sample each.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vantorel::xm {

constexpr std::uint8_t KeyOff = 97;

/// One pattern cell as the tracker shows it. Note 0 = none, 1..96 = C-0..B-7, 97 = key off;
/// Volume is the raw volume-column byte (0x10 + 0..64 sets the volume).
struct TXmCell {
    std::uint8_t Note = 0;
    std::uint8_t Instrument = 0;
    std::uint8_t Volume = 0;
    std::uint8_t Effect = 0;
    std::uint8_t Param = 0;
    bool operator==(const TXmCell&) const = default;
};

struct TXmPattern {
    int Rows = 64;
    std::vector<TXmCell> Cells; ///< Rows x channels, row-major
    bool operator==(const TXmPattern&) const = default;
};

/// Points are (tick, 0..64). Sustain, loop start and loop end are point indices, -1 = unused.
struct TXmEnvelope {
    std::vector<std::pair<std::uint16_t, std::uint16_t>> Points;
    int Sustain = -1;
    int LoopStart = -1;
    int LoopEnd = -1;
};

/// A sample; loop positions are in sample frames (the writer turns them into bytes).
struct TXmSample {
    std::string Name;
    std::vector<std::int16_t> Data;
    std::uint32_t LoopStart = 0;
    std::uint32_t LoopLength = 0; ///< 0 = no loop
    std::uint8_t Volume = 64;
    std::int8_t Finetune = 0;
    std::int8_t RelativeNote = 0;
    std::uint8_t Panning = 128;
};

struct TXmInstrument {
    std::string Name;
    TXmSample Sample;
    TXmEnvelope VolumeEnvelope;   ///< no points = off
    std::uint16_t Fadeout = 0;    ///< per tick after key off, 0..0x0FFF
    std::uint8_t VibratoType = 0; ///< 0 sine
    std::uint8_t VibratoSweep = 0;
    std::uint8_t VibratoDepth = 0;
    std::uint8_t VibratoRate = 0;
};

struct TXmModule {
    std::string Name;
    int Channels = 8;
    int Speed = 6; ///< ticks per row
    int Bpm = 125;
    int Restart = 0; ///< order index the song continues from after its last entry
    std::vector<std::uint8_t> Orders;
    std::vector<TXmPattern> Patterns;
    std::vector<TXmInstrument> Instruments;
};

/// Relative note and finetune that make note C-4 play a sample at `rateAtC4` frames per
/// second (linear frequency table), finetune rounded to a multiple of 8 so every player agrees.
std::pair<std::int8_t, std::int8_t> PitchForRate(double rateAtC4);

/// Serialises the module. Throws std::invalid_argument for anything a player would
/// reject or misplay (odd channel count, order past the patterns, bad rows, notes, envelopes...).
std::vector<std::uint8_t> WriteXm(const TXmModule& module);

} // namespace vantorel::xm

// A song as its composer writes it: sections of bars with chords, a lead line, and
// named grooves for bass, arpeggio and drums. The arranger turns it into a module.
#pragma once

#include "tools/xmgen/xm_writer.hpp"

#include <string>
#include <vector>

namespace vantorel::xm {

/// Drum lanes, 16 steps a bar: '.' rest, 'o' soft, 'x' normal, 'X' accent.
struct TGroove {
    std::string Kick;
    std::string Snare;
    std::string Hat;
};

/// One section. Every bar is 16 rows (sixteenth notes).
struct TSection {
    std::string Name;
    /// One chord a bar: root (C, C#, Db ... B), then "", "m", "7", "m7", "maj7", "sus4" or "sus2".
    std::vector<std::string> Chords;
    /// One string a bar of 8 eighth-note tokens: a note ("A4", "C#5", "Bb4"), '.' to hold, '-' to
    /// stop. Empty = the lead rests through the section.
    std::vector<std::string> Lead;
    std::string LeadSecond =
        "off"; ///< second lead channel: "off", "echo" (delayed and softer), "third" (a third below)
    std::string Bass; ///< 16 steps: 'R' root, 'O' root an octave up, '5' fifth, '3' third, '.'
                      ///< hold, '-' stop; empty = none
    std::string
        Arp; ///< 16 steps of chord tones 1..4 (4 = the octave), '.' hold, '-' stop; empty = none
    bool Pad = true;
    int PadVolume = 40; ///< 0..64
    int LeadVolume = 64;
    int ArpVolume = 40;
    const TGroove* Groove = nullptr; ///< nullptr = no drums
    const TGroove* Fill = nullptr;   ///< replaces the groove in the section's last bar
    bool Crash = false;              ///< crash cymbal on the section's first beat
};

struct TSong {
    std::string Name;
    int Speed = 6;
    int Bpm = 125;
    int Key = 9; ///< tonic pitch class for harmonising thirds (0 = C)
    bool Minor = true;
    int LoopSection = 0; ///< section the song returns to after the last
    std::string Lead, Bass, Pad, Arp, Kick, Snare, Hat, Crash; ///< instrument names
    int BassOctave = 2; ///< octave of the bass's lowest root, E; lower roots go up an octave
    int PadOctave = 4;
    int ArpOctave = 4;
    int EchoDelayRows = 3;
    std::vector<TSection> Sections;
};

/// Builds the module: ten channels (lead, second lead, bass, three pad voices, arpeggio,
/// kick, snare, hats), 64-row patterns of four bars with identical ones stored once.
/// Throws std::invalid_argument on a malformed section (bar counts, tokens, chords).
TXmModule Arrange(const TSong& song);

/// The game's two modules.
TSong MenuSong();
TSong RaceSong();

} // namespace vantorel::xm

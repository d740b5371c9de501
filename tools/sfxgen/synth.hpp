// The sound-effect synthesiser used by the data build: a handful of oscillators
// shaped by envelopes, pitch sweeps, vibrato, arpeggios, filters and distortion.
// Everything is deterministic: the same patch and seed give the same samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel::sfx {

enum class TWaveform { Square, Saw, Sine, Triangle, Noise };

/// One voice of a patch. Times are seconds, frequencies hertz, sweeps octaves per second.
struct TSfxVoice {
    TWaveform Wave = TWaveform::Square;
    double Delay = 0.0; ///< start of this voice within the sound
    double Gain = 1.0;  ///< linear mix level
    // Envelope: attack to 1, decay to Sustain, hold there, release to 0.
    double Attack = 0.0;
    double Decay = 0.1;
    double Sustain = 0.0; ///< 0..1
    double Hold = 0.0;
    double Release = 0.0;
    double Curve = 1.0; ///< >1 bends decay and release into a faster, exponential-like fall
    // Pitch.
    double Freq = 440.0;
    double FreqMin = 0.0;      ///< the voice falls silent once a downward sweep passes this
    double Slide = 0.0;        ///< octaves per second, negative falls
    double SlideAccel = 0.0;   ///< octaves per second squared
    double VibratoDepth = 0.0; ///< semitones, peak
    double VibratoRate = 0.0;  ///< hertz
    double VibratoDelay = 0.0;
    std::vector<double> Arpeggio; ///< semitone offsets stepped through every ArpStep seconds
    double ArpStep = 0.0;
    double Repeat = 0.0; ///< restarts the sweep and arpeggio every so many seconds (0 = never)
    // Timbre.
    double Duty = 0.5;         ///< square pulse width, 0.05..0.95
    double DutySweep = 0.0;    ///< per second
    double Lowpass = 0.0;      ///< cutoff, 0 = off
    double LowpassSweep = 0.0; ///< octaves per second
    double Resonance = 0.0;    ///< 0..0.95
    double Highpass = 0.0;     ///< cutoff, 0 = off
    double HighpassSweep = 0.0;
    double Distortion = 0.0; ///< 0..1, soft clipping drive

    /// Seconds from the voice's start to the end of its release.
    double Length() const { return Attack + Decay + Hold + Release; }
};

/// A whole sound: voices mixed, then scaled so the loudest sample reaches Peak.
struct TSfxPatch {
    int SampleRate = 44100;
    std::uint32_t Seed = 1;
    double Peak = 0.8; ///< 0..1 of full scale
    std::vector<TSfxVoice> Voices;
};

/// Renders the patch to samples in -1..1, normalised to Peak.
std::vector<float> Render(const TSfxPatch& patch);

/// Converts to 16-bit with rounding and clamping.
std::vector<std::int16_t> ToPcm16(const std::vector<float>& samples);

/// A complete RIFF WAVE file, 16-bit mono PCM.
std::vector<std::uint8_t> MakeWave(const std::vector<std::int16_t>& pcm, int sampleRate);

/// Reads a patch from text: `key = value` lines, `#` comments, and `[voice]` lines that
/// begin each voice. Keys before the first `[voice]` are the patch's (rate, seed, peak).
/// Throws std::runtime_error naming the line on an unknown key or a bad value.
TSfxPatch ParsePatch(const std::string& text);

/// Small deterministic generator (xorshift32); the synthesis never uses global random state.
class TRandom {
public:
    explicit TRandom(std::uint32_t seed) : FState(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t Next() {
        FState ^= FState << 13;
        FState ^= FState >> 17;
        FState ^= FState << 5;
        return FState;
    }
    /// Uniform in -1..1.
    double Signed() { return static_cast<double>(Next()) / 2147483648.0 - 1.0; }

private:
    std::uint32_t FState;
};

} // namespace vantorel::sfx

#include "tools/xmgen/instruments.hpp"

#include "tools/sfxgen/synth.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

namespace vantorel::xm {
namespace {

constexpr double Pi = 3.14159265358979323846;

// One cycle of C-4 spans CycleFrames frames played at 33452 frames per second
// (relative note 24): 261.34 Hz.
constexpr int CycleFrames = 128;
constexpr int C4Rate = 33452;

/// A tone built from harmonics. The loop holds Cycles cycles of the main oscillator;
/// detuned oscillators run a whole number of cycles more or fewer in the same loop, so
/// they beat slowly against it and the loop still closes exactly.
struct TToneSpec {
    int Cycles = 1; ///< cycles of the main oscillator in the loop
    std::vector<std::pair<int, double>> Oscillators = {{0, 1.0}}; ///< (cycle offset, gain)
    int Harmonics = 16;
    std::function<double(int)> Spectrum;               ///< amplitude of harmonic h in the loop
    int AttackCycles = 0;                              ///< unlooped lead-in before the loop
    std::function<double(int, double)> AttackSpectrum; ///< (h, 0..1 through the attack)
};

std::vector<std::int16_t> BuildTone(const TToneSpec& tone, std::uint32_t& loopStart,
                                    std::uint32_t& loopLength) {
    const int loopFrames = tone.Cycles * CycleFrames;
    const int attackFrames = tone.AttackCycles * CycleFrames;
    std::vector<double> wave(static_cast<std::size_t>(attackFrames + loopFrames), 0.0);
    for (const auto& [offset, gain] : tone.Oscillators) {
        const double cyclesPerFrame = static_cast<double>(tone.Cycles + offset) / loopFrames;
        for (int h = 1; h <= tone.Harmonics; ++h) {
            const double steady = tone.Spectrum(h);
            // A fixed phase per harmonic and oscillator keeps the peaks down.
            const double phase0 = 0.37 * h * h + 1.3 * offset;
            for (std::size_t i = 0; i < wave.size(); ++i) {
                const int n = static_cast<int>(i) - attackFrames; // loop starts at 0
                double amp = steady;
                if (n < 0 && tone.AttackSpectrum)
                    amp = tone.AttackSpectrum(h, static_cast<double>(i) / attackFrames);
                if (amp == 0.0)
                    continue;
                wave[i] += gain * amp * std::sin(2.0 * Pi * h * cyclesPerFrame * n + phase0);
            }
        }
    }
    double peak = 0.0;
    for (double s : wave)
        peak = std::max(peak, std::abs(s));
    std::vector<std::int16_t> pcm(wave.size());
    for (std::size_t i = 0; i < wave.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(std::lround(wave[i] / peak * 30000.0));
    loopStart = static_cast<std::uint32_t>(attackFrames);
    loopLength = static_cast<std::uint32_t>(loopFrames);
    return pcm;
}

TXmInstrument Tonal(const std::string& name, const TToneSpec& tone, std::uint8_t volume) {
    TXmInstrument ins;
    ins.Name = name;
    ins.Sample.Name = name;
    ins.Sample.Data = BuildTone(tone, ins.Sample.LoopStart, ins.Sample.LoopLength);
    ins.Sample.Volume = volume;
    const auto [relative, fine] = PitchForRate(C4Rate);
    ins.Sample.RelativeNote = relative;
    ins.Sample.Finetune = fine;
    return ins;
}

/// Drum recordings: 22050 Hz one-shots played unchanged at C-4.
TXmInstrument Drum(const std::string& name, const sfx::TSfxPatch& patch, std::uint8_t volume) {
    TXmInstrument ins;
    ins.Name = name;
    ins.Sample.Name = name;
    ins.Sample.Data = sfx::ToPcm16(sfx::Render(patch));
    ins.Sample.Volume = volume;
    const auto [relative, fine] = PitchForRate(patch.SampleRate);
    ins.Sample.RelativeNote = relative;
    ins.Sample.Finetune = fine;
    return ins;
}

sfx::TSfxPatch DrumPatch(std::uint32_t seed, std::vector<sfx::TSfxVoice> voices) {
    sfx::TSfxPatch p;
    p.SampleRate = 22050;
    p.Seed = seed;
    p.Peak = 0.9;
    p.Voices = std::move(voices);
    return p;
}

sfx::TSfxVoice Voice(sfx::TWaveform wave, double freq, double decay) {
    sfx::TSfxVoice v;
    v.Wave = wave;
    v.Freq = freq;
    v.Attack = 0.001;
    v.Decay = decay;
    v.Curve = 2.0;
    return v;
}

double Saw(int h) {
    return 1.0 / h;
}
double Lowpassed(int h, double cutoff) {
    return 1.0 / (1.0 + std::pow(h / cutoff, 2.0));
}

TXmInstrument Make(const std::string& name) {
    using sfx::TWaveform;
    if (name == "saw bass" || name == "round bass") {
        const bool saw = name == "saw bass";
        TToneSpec t;
        t.Cycles = 4;
        t.Harmonics = 32;
        const double cutoff = saw ? 5.0 : 2.5;
        t.Spectrum = [=](int h) { return Saw(h) * Lowpassed(h, cutoff) + (h == 1 ? 0.5 : 0.0); };
        t.AttackCycles = saw ? 24 : 12;
        t.AttackSpectrum = [=](int h, double x) {
            return Saw(h) * Lowpassed(h, cutoff + (saw ? 14.0 : 4.0) * (1.0 - x)) +
                   (h == 1 ? 0.5 : 0.0);
        };
        TXmInstrument ins = Tonal(name, t, saw ? 52 : 56);
        ins.VolumeEnvelope.Points =
            saw ? decltype(ins.VolumeEnvelope.Points){{0, 64}, {6, 52}, {30, 40}}
                : decltype(ins.VolumeEnvelope.Points){{0, 64}, {20, 50}, {60, 44}};
        ins.VolumeEnvelope.Sustain = 2;
        ins.Fadeout = saw ? 2048 : 1024;
        return ins;
    }
    if (name == "saw pad" || name == "warm pad") {
        const bool bright = name == "saw pad";
        TToneSpec t;
        t.Cycles = 128; // detune by one cycle in 128: about 13.5 cents
        t.Oscillators = {{0, 1.0}, {-1, 0.8}, {1, 0.8}};
        t.Harmonics = bright ? 14 : 8;
        t.Spectrum = [=](int h) { return Saw(h) * Lowpassed(h, bright ? 5.0 : 2.5); };
        TXmInstrument ins = Tonal(name, t, bright ? 30 : 34);
        ins.VolumeEnvelope.Points =
            bright ? decltype(ins.VolumeEnvelope.Points){{0, 0}, {12, 64}, {40, 50}}
                   : decltype(ins.VolumeEnvelope.Points){{0, 0}, {60, 64}, {140, 52}};
        ins.VolumeEnvelope.Sustain = 2;
        ins.Fadeout = bright ? 600 : 300;
        return ins;
    }
    if (name == "pulse lead" || name == "soft lead") {
        const bool pulse = name == "pulse lead";
        TToneSpec t;
        t.Cycles = 64;
        t.Oscillators = {{0, 1.0}, {1, 0.5}};
        t.Harmonics = pulse ? 15 : 6; // the top harmonic of E-6 stays below 20 kHz
        // A 25% pulse lacks every fourth harmonic; the soft lead is nearly a sine with a breath of
        // overtones.
        t.Spectrum = pulse ? std::function<double(int)>(
                                 [](int h) { return std::abs(std::sin(Pi * h * 0.25)) / h; })
                           : std::function<double(int)>([](int h) {
                                 return h == 1 ? 1.0 : 0.18 / (h * h) * (h % 2 ? 1.0 : 0.5);
                             });
        TXmInstrument ins = Tonal(name, t, pulse ? 40 : 46);
        ins.VolumeEnvelope.Points =
            pulse ? decltype(ins.VolumeEnvelope.Points){{0, 48}, {3, 64}, {24, 52}}
                  : decltype(ins.VolumeEnvelope.Points){{0, 0}, {8, 64}, {60, 52}};
        ins.VolumeEnvelope.Sustain = 2;
        ins.Fadeout = pulse ? 1200 : 700;
        ins.VibratoSweep = pulse ? 40 : 60;
        ins.VibratoDepth = pulse ? 4 : 3;
        ins.VibratoRate = pulse ? 14 : 10;
        return ins;
    }
    if (name == "pluck" || name == "bell") {
        const bool pluck = name == "pluck";
        TToneSpec t;
        t.Cycles = 8;
        t.Harmonics = pluck ? 16 : 8;
        t.Spectrum =
            pluck ? std::function<double(int)>(
                        [](int h) { return (h % 2 ? 1.0 : 0.3) / h * Lowpassed(h, 4.0); })
                  : std::function<double(int)>([](int h) {
                        return h == 1 ? 1.0 : h == 2 ? 0.35 : h == 4 ? 0.2 : h == 6 ? 0.08 : 0.0;
                    });
        t.AttackCycles = pluck ? 10 : 20;
        t.AttackSpectrum = pluck ? std::function<double(int, double)>([](int h, double x) {
            return (h % 2 ? 1.0 : 0.3) / h * Lowpassed(h, 4.0 + 10.0 * (1 - x));
        })
                                 : std::function<double(int, double)>([](int h, double x) {
                                       return h == 1   ? 1.0
                                              : h == 2 ? 0.35
                                              : h == 3 ? 0.3 * (1 - x)
                                              : h == 4 ? 0.2 + 0.3 * (1 - x)
                                              : h == 6 ? 0.08
                                              : h == 7 ? 0.15 * (1 - x)
                                                       : 0.0;
                                   });
        TXmInstrument ins = Tonal(name, t, pluck ? 36 : 40);
        ins.VolumeEnvelope.Points =
            pluck ? decltype(ins.VolumeEnvelope.Points){{0, 64}, {4, 40}, {14, 16}, {30, 0}}
                  : decltype(ins.VolumeEnvelope.Points){{0, 64}, {10, 40}, {50, 16}, {120, 0}};
        ins.Fadeout = pluck ? 2048 : 800;
        return ins;
    }
    if (name == "kick" || name == "soft kick") {
        const bool hard = name == "kick";
        auto body = Voice(TWaveform::Sine, hard ? 160.0 : 110.0, hard ? 0.32 : 0.4);
        body.Slide = hard ? -7.0 : -4.0;
        body.FreqMin = 35.0;
        auto click = Voice(TWaveform::Noise, 4000.0, 0.008);
        click.Gain = hard ? 0.5 : 0.15;
        click.Lowpass = 5000.0;
        return Drum(name, DrumPatch(hard ? 101 : 103, {body, click}), hard ? 64 : 50);
    }
    if (name == "snare" || name == "rim") {
        const bool snare = name == "snare";
        auto noise = Voice(TWaveform::Noise, 6000.0, snare ? 0.22 : 0.05);
        noise.Highpass = snare ? 900.0 : 2500.0;
        noise.Lowpass = 9000.0;
        auto tone = Voice(TWaveform::Triangle, snare ? 190.0 : 520.0, snare ? 0.08 : 0.04);
        tone.Slide = -1.5;
        tone.Gain = snare ? 0.7 : 0.9;
        return Drum(name, DrumPatch(snare ? 107 : 109, {noise, tone}), snare ? 52 : 40);
    }
    if (name == "hat" || name == "crash") {
        const bool hat = name == "hat";
        auto noise = Voice(TWaveform::Noise, 9000.0, hat ? 0.05 : 1.4);
        noise.Highpass = hat ? 7000.0 : 3500.0;
        noise.Curve = hat ? 2.0 : 2.5;
        auto metal = Voice(TWaveform::Square, hat ? 5400.0 : 3300.0, hat ? 0.03 : 0.9);
        metal.Gain = 0.25;
        metal.Highpass = 3000.0;
        return Drum(name, DrumPatch(hat ? 113 : 127, {noise, metal}), hat ? 30 : 34);
    }
    throw std::invalid_argument("unknown instrument " + name);
}

} // namespace

TXmInstrument MakeInstrument(const std::string& name) {
    return Make(name);
}

} // namespace vantorel::xm

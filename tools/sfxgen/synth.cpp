#include "tools/sfxgen/synth.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>

namespace vantorel::sfx {
namespace {

constexpr double Pi = 3.14159265358979323846;

/// Smooths the step of a naive saw or square over one sample (polyBLEP).
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

/// Topology-preserving state-variable filter; cutoff may change every sample.
class TSvf {
public:
    void Step(double in, double cutoff, double resonance, int rate, double& low, double& high) {
        const double fc = std::clamp(cutoff, 10.0, rate * 0.45);
        const double g = std::tan(Pi * fc / rate);
        const double k = 2.0 - 2.0 * std::clamp(resonance, 0.0, 0.95);
        const double a1 = 1.0 / (1.0 + g * (g + k));
        const double v3 = in - FIc2;
        const double v1 = a1 * FIc1 + g * a1 * v3;
        const double v2 = FIc2 + g * v1;
        FIc1 = 2.0 * v1 - FIc1;
        FIc2 = 2.0 * v2 - FIc2;
        low = v2;
        high = in - k * v1 - v2;
    }

private:
    double FIc1 = 0.0;
    double FIc2 = 0.0;
};

double Envelope(const TSfxVoice& v, double t) {
    auto fall = [&](double x) { return std::pow(std::clamp(x, 0.0, 1.0), v.Curve); };
    if (t < v.Attack)
        return t / v.Attack;
    t -= v.Attack;
    if (t < v.Decay)
        return v.Sustain + (1.0 - v.Sustain) * fall(1.0 - t / v.Decay);
    t -= v.Decay;
    if (t < v.Hold)
        return v.Sustain;
    t -= v.Hold;
    if (t < v.Release)
        return v.Sustain * fall(1.0 - t / v.Release);
    return 0.0;
}

void RenderVoice(const TSfxVoice& v, int rate, TRandom& rng, std::vector<double>& mix) {
    const auto start = static_cast<std::size_t>(std::lround(v.Delay * rate));
    const auto frames = static_cast<std::size_t>(std::ceil(v.Length() * rate));
    if (mix.size() < start + frames)
        mix.resize(start + frames, 0.0);

    double phase = 0.0;
    double noise[32];
    for (double& n : noise)
        n = rng.Signed();
    TSvf lowpass, highpass;
    bool silenced = false;

    for (std::size_t i = 0; i < frames && !silenced; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double tp = v.Repeat > 0.0 ? std::fmod(t, v.Repeat) : t;

        double octaves = v.Slide * tp + 0.5 * v.SlideAccel * tp * tp;
        double freq = v.Freq * std::exp2(octaves);
        if (v.FreqMin > 0.0 && freq < v.FreqMin) {
            silenced = true;
            break;
        }
        double semis = 0.0;
        if (!v.Arpeggio.empty() && v.ArpStep > 0.0) {
            const auto step = static_cast<std::size_t>(tp / v.ArpStep);
            semis += v.Arpeggio[std::min(step, v.Arpeggio.size() - 1)];
        }
        if (v.VibratoDepth > 0.0 && t >= v.VibratoDelay)
            semis += v.VibratoDepth * std::sin(2.0 * Pi * v.VibratoRate * (t - v.VibratoDelay));
        freq *= std::exp2(semis / 12.0);
        freq = std::clamp(freq, 1.0, rate * 0.49);

        const double dt = freq / rate;
        double s = 0.0;
        switch (v.Wave) {
        case TWaveform::Sine:
            s = std::sin(2.0 * Pi * phase);
            break;
        case TWaveform::Triangle:
            s = 1.0 - 4.0 * std::abs(phase - 0.5);
            break;
        case TWaveform::Saw:
            s = 2.0 * phase - 1.0 - PolyBlep(phase, dt);
            break;
        case TWaveform::Square: {
            const double duty = std::clamp(v.Duty + v.DutySweep * t, 0.05, 0.95);
            s = phase < duty ? 1.0 : -1.0;
            s += PolyBlep(phase, dt);
            s -= PolyBlep(std::fmod(phase + 1.0 - duty, 1.0), dt);
            break;
        }
        case TWaveform::Noise:
            s = noise[static_cast<int>(phase * 32.0) & 31];
            break;
        }
        phase += dt;
        if (phase >= 1.0) {
            phase -= std::floor(phase);
            if (v.Wave == TWaveform::Noise)
                for (double& n : noise)
                    n = rng.Signed();
        }

        if (v.Lowpass > 0.0) {
            double low, high;
            lowpass.Step(s, v.Lowpass * std::exp2(v.LowpassSweep * t), v.Resonance, rate, low,
                         high);
            s = low;
        }
        if (v.Highpass > 0.0) {
            double low, high;
            highpass.Step(s, v.Highpass * std::exp2(v.HighpassSweep * t), 0.0, rate, low, high);
            s = high;
        }
        if (v.Distortion > 0.0) {
            const double drive = 1.0 + 20.0 * v.Distortion;
            s = std::tanh(s * drive) / std::tanh(drive);
        }
        mix[start + i] += s * Envelope(v, t) * v.Gain;
    }
}

double ParseNumber(const std::string& value, int line) {
    std::size_t used = 0;
    double d = 0.0;
    try {
        d = std::stod(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || value.find_first_not_of(" \t", used) != std::string::npos || !std::isfinite(d))
        throw std::runtime_error("line " + std::to_string(line) + ": not a number: " + value);
    return d;
}

TWaveform ParseWave(const std::string& value, int line) {
    static const std::map<std::string, TWaveform> names = {{"square", TWaveform::Square},
                                                           {"saw", TWaveform::Saw},
                                                           {"sine", TWaveform::Sine},
                                                           {"triangle", TWaveform::Triangle},
                                                           {"noise", TWaveform::Noise}};
    const auto it = names.find(value);
    if (it == names.end())
        throw std::runtime_error("line " + std::to_string(line) + ": unknown wave " + value);
    return it->second;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

} // namespace

std::vector<float> Render(const TSfxPatch& patch) {
    TRandom rng(patch.Seed);
    std::vector<double> mix;
    for (const TSfxVoice& v : patch.Voices)
        RenderVoice(v, patch.SampleRate, rng, mix);

    // Trim trailing silence, then fade the last 5 ms so nothing ends in a click.
    while (!mix.empty() && std::abs(mix.back()) < 1e-6)
        mix.pop_back();
    const std::size_t fade =
        std::min<std::size_t>(mix.size(), static_cast<std::size_t>(patch.SampleRate / 200));
    for (std::size_t i = 0; i < fade; ++i)
        mix[mix.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);

    double peak = 0.0;
    for (double s : mix)
        peak = std::max(peak, std::abs(s));
    const double scale = peak > 0.0 ? patch.Peak / peak : 0.0;
    std::vector<float> out(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i)
        out[i] = static_cast<float>(mix[i] * scale);
    return out;
}

std::vector<std::int16_t> ToPcm16(const std::vector<float>& samples) {
    std::vector<std::int16_t> pcm(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(
            std::clamp(std::lround(samples[i] * 32767.0), -32768L, 32767L));
    return pcm;
}

std::vector<std::uint8_t> MakeWave(const std::vector<std::int16_t>& pcm, int sampleRate) {
    std::vector<std::uint8_t> out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(t[i]));
    };
    const auto dataBytes = static_cast<std::uint32_t>(pcm.size() * 2);
    out.reserve(44 + dataBytes);
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    tag("RIFF");
    u32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(rate);
    u32(rate * 2); // bytes per second
    u16(2);        // block align
    u16(16);       // bits
    tag("data");
    u32(dataBytes);
    for (std::int16_t s : pcm)
        u16(static_cast<std::uint16_t>(s));
    return out;
}

TSfxPatch ParsePatch(const std::string& text) {
    TSfxPatch patch;
    TSfxVoice* voice = nullptr;
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        std::string s = Trim(raw.substr(0, raw.find('#')));
        if (s.empty())
            continue;
        if (s == "[voice]") {
            patch.Voices.emplace_back();
            voice = &patch.Voices.back();
            continue;
        }
        const auto eq = s.find('=');
        if (eq == std::string::npos)
            throw std::runtime_error("line " + std::to_string(line) + ": expected key = value");
        const std::string key = Trim(s.substr(0, eq));
        const std::string value = Trim(s.substr(eq + 1));
        auto num = [&] { return ParseNumber(value, line); };
        if (!voice) {
            if (key == "rate") {
                patch.SampleRate = static_cast<int>(num());
                if (patch.SampleRate != 22050 && patch.SampleRate != 44100)
                    throw std::runtime_error("line " + std::to_string(line) +
                                             ": rate must be 22050 or 44100");
            } else if (key == "seed") {
                const double seed = num();
                if (seed < 0 || seed > 4294967295.0 || seed != std::floor(seed))
                    throw std::runtime_error("line " + std::to_string(line) +
                                             ": seed must be a whole number 0..4294967295");
                patch.Seed = static_cast<std::uint32_t>(seed);
            } else if (key == "peak") {
                patch.Peak = std::clamp(num(), 0.0, 1.0);
            } else {
                throw std::runtime_error("line " + std::to_string(line) + ": unknown patch key " +
                                         key);
            }
            continue;
        }
        TSfxVoice& v = *voice;
        static const std::map<std::string, double TSfxVoice::*> fields = {
            {"delay", &TSfxVoice::Delay},
            {"gain", &TSfxVoice::Gain},
            {"attack", &TSfxVoice::Attack},
            {"decay", &TSfxVoice::Decay},
            {"sustain", &TSfxVoice::Sustain},
            {"hold", &TSfxVoice::Hold},
            {"release", &TSfxVoice::Release},
            {"curve", &TSfxVoice::Curve},
            {"freq", &TSfxVoice::Freq},
            {"freq_min", &TSfxVoice::FreqMin},
            {"slide", &TSfxVoice::Slide},
            {"slide_accel", &TSfxVoice::SlideAccel},
            {"vibrato_depth", &TSfxVoice::VibratoDepth},
            {"vibrato_rate", &TSfxVoice::VibratoRate},
            {"vibrato_delay", &TSfxVoice::VibratoDelay},
            {"arp_step", &TSfxVoice::ArpStep},
            {"repeat", &TSfxVoice::Repeat},
            {"duty", &TSfxVoice::Duty},
            {"duty_sweep", &TSfxVoice::DutySweep},
            {"lowpass", &TSfxVoice::Lowpass},
            {"lowpass_sweep", &TSfxVoice::LowpassSweep},
            {"resonance", &TSfxVoice::Resonance},
            {"highpass", &TSfxVoice::Highpass},
            {"highpass_sweep", &TSfxVoice::HighpassSweep},
            {"distortion", &TSfxVoice::Distortion}};
        if (key == "wave") {
            v.Wave = ParseWave(value, line);
        } else if (key == "arpeggio") {
            std::istringstream list(value);
            std::string item;
            v.Arpeggio.clear();
            while (list >> item)
                v.Arpeggio.push_back(ParseNumber(item, line));
        } else if (const auto it = fields.find(key); it != fields.end()) {
            v.*(it->second) = num();
        } else {
            throw std::runtime_error("line " + std::to_string(line) + ": unknown voice key " + key);
        }
        if (v.Attack < 0 || v.Decay < 0 || v.Hold < 0 || v.Release < 0 || v.Delay < 0)
            throw std::runtime_error("line " + std::to_string(line) + ": times cannot be negative");
    }
    if (patch.Voices.empty())
        throw std::runtime_error("the patch has no [voice]");
    return patch;
}

} // namespace vantorel::sfx

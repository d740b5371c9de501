// The generated sound effects and music: every effect the game plays is in the sound
// library, audible and shaped like its job; both modules load in real module players,
// keep playing for their whole length and stay within a sane level.
#include "base/errors.hpp"
#include "engine/wave_library.hpp"
#include "support/byte_blobs.hpp"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace vantorel {
namespace {

const std::string kData = std::string(VANTOREL_BUILD_DIR) + "/Data";

using test_support::ReadWholeFileBytes;

// ---------------------------------------------------------------------------------
// Sound effects

struct Effect {
    std::string Name;
    double MinSeconds;
    double MaxSeconds;
};

const std::vector<Effect> kEffects = {
    {"Button", 0.01, 0.2},  {"Bonus", 0.2, 1.5},      {"Laser", 0.05, 0.6},
    {"Laser2", 0.08, 0.8},  {"Plasma", 0.08, 0.8},    {"Rocket", 0.2, 1.5},
    {"Rail", 0.2, 1.5},     {"Explosion1", 0.6, 3.0}, {"Explosion2", 0.6, 2.0},
    {"GameOver", 0.8, 4.0}, {"Reborn", 0.6, 3.0},
};

/// The samples of one effect in -1..1, and its rate.
struct Recording {
    std::vector<double> Samples;
    double Rate = 0;
    double Seconds() const { return static_cast<double>(Samples.size()) / Rate; }
};

class SoundLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library_ = std::make_unique<TWaveCollection>();
        library_->LoadLibraryFile(kData + "/Res/Sounds.dxw");
    }
    static void TearDownTestSuite() { library_.reset(); }

    static Recording Load(const std::string& name) {
        const TWave& wave = library_->Find(name).Wave;
        Recording r;
        r.Rate = wave.SamplesPerSec();
        const auto data = wave.Data();
        for (size_t i = 0; i + 1 < data.size(); i += 2)
            r.Samples.push_back(static_cast<int16_t>(data[i] | data[i + 1] << 8) / 32768.0);
        return r;
    }

    static std::unique_ptr<TWaveCollection> library_;
};
std::unique_ptr<TWaveCollection> SoundLibrary::library_;

double Rms(const std::vector<double>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += s[i] * s[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

/// Zero crossings per second over a stretch: a rough pitch for a tone.
double CrossingRate(const Recording& r, double from, double to) {
    const auto a = static_cast<size_t>(from * r.Rate);
    const auto b = std::min(r.Samples.size(), static_cast<size_t>(to * r.Rate));
    int crossings = 0;
    for (size_t i = a + 1; i < b; ++i)
        if ((r.Samples[i - 1] < 0) != (r.Samples[i] < 0))
            ++crossings;
    return crossings / (static_cast<double>(b - a) / r.Rate);
}

/// Share of the energy below `cutoff` hertz (two one-pole low-pass passes).
double LowShare(const Recording& r, double cutoff) {
    const double k = 1.0 - std::exp(-2.0 * std::numbers::pi * cutoff / r.Rate);
    double y1 = 0, y2 = 0, low = 0, all = 0;
    for (double s : r.Samples) {
        y1 += k * (s - y1);
        y2 += k * (y1 - y2);
        low += y2 * y2;
        all += s * s;
    }
    return low / all;
}

TEST_F(SoundLibrary, HoldsEveryEffectAsAudibleSixteenBitMono) {
    for (const Effect& e : kEffects) {
        SCOPED_TRACE(e.Name);
        const TWave& wave = library_->Find(e.Name).Wave;
        EXPECT_EQ(wave.FormatTag(), 1);
        EXPECT_EQ(wave.Channels(), 1);
        EXPECT_EQ(wave.BitsPerSample(), 16);
        EXPECT_TRUE(wave.SamplesPerSec() == 22050 || wave.SamplesPerSec() == 44100)
            << wave.SamplesPerSec();

        const Recording r = Load(e.Name);
        EXPECT_GE(r.Seconds(), e.MinSeconds);
        EXPECT_LE(r.Seconds(), e.MaxSeconds);
        const double peak =
            std::abs(*std::max_element(r.Samples.begin(), r.Samples.end(), [](double a, double b) {
                return std::abs(a) < std::abs(b);
            }));
        EXPECT_GT(peak, 0.2) << "hardly audible";
        EXPECT_LT(peak, 0.99) << "clips";
        EXPECT_GT(Rms(r.Samples, 0, r.Samples.size()), 0.03);
        // Ends at rest, so a sound cut off by its own end does not click.
        EXPECT_LT(std::abs(r.Samples.back()), 0.01);
    }
}

TEST_F(SoundLibrary, EffectsHaveTheirCharacter) {
    const Recording laser = Load("Laser");
    EXPECT_GT(CrossingRate(laser, 0.0, 0.04),
              1.8 * CrossingRate(laser, laser.Seconds() - 0.06, laser.Seconds()))
        << "a laser falls fast in pitch";

    // The double laser sweeps down twice: its pitch jumps back up in the middle.
    const Recording laser2 = Load("Laser2");
    EXPECT_GT(CrossingRate(laser2, 0.09, 0.11), 1.3 * CrossingRate(laser2, 0.06, 0.08));

    for (const char* name : {"Explosion1", "Explosion2"}) {
        SCOPED_TRACE(name);
        const Recording boom = Load(name);
        EXPECT_GT(LowShare(boom, 400.0), 0.4) << "an explosion rumbles";
        // Still sounding well after the blast, but quieter than it.
        const auto n = boom.Samples.size();
        const double head = Rms(boom.Samples, 0, n / 4), tail = Rms(boom.Samples, n / 2, 3 * n / 4);
        EXPECT_GT(tail, head * 0.05);
        EXPECT_LT(tail, head);
    }

    const Recording button = Load("Button");
    EXPECT_LT(Rms(button.Samples, 0, button.Samples.size()),
              Rms(laser.Samples, 0, laser.Samples.size()))
        << "the menu tick is softer than a shot";

    const Recording reborn = Load("Reborn");
    EXPECT_GT(
        LowShare(
            Recording{{reborn.Samples.begin(), reborn.Samples.begin() + reborn.Samples.size() / 4},
                      reborn.Rate},
            300.0),
        LowShare(Recording{{reborn.Samples.end() - reborn.Samples.size() / 4, reborn.Samples.end()},
                           reborn.Rate},
                 300.0))
        << "the warp-out sweeps upwards";
}

TEST_F(SoundLibrary, UnknownNameIsAFindError) {
    EXPECT_THROW(library_->Find("NoSuchSound"), EWaveCollectionError);
}

// ---------------------------------------------------------------------------------
// Music

class MusicModule : public ::testing::TestWithParam<const char*> {
protected:
    std::string Path() const { return kData + "/Music/" + GetParam(); }
};

/// Walks the file by the XM layout and fails at the first field a strict player would
/// reject or misread; libxmp forgives some of these, FastTracker 2 does not.
TEST_P(MusicModule, FollowsTheTrackerLayoutToTheLastByte) {
    const std::vector<uint8_t> f = ReadWholeFileBytes(Path());
    ASSERT_GT(f.size(), 336u);
    auto u16 = [&](size_t at) { return static_cast<unsigned>(f.at(at) | f.at(at + 1) << 8); };
    auto u32 = [&](size_t at) { return static_cast<size_t>(u16(at) | u16(at + 2) << 16); };

    ASSERT_EQ(std::string(f.begin(), f.begin() + 17), "Extended Module: ");
    EXPECT_EQ(f[37], 0x1A);
    EXPECT_EQ(u16(58), 0x0104u);
    ASSERT_EQ(u32(60), 276u);
    const unsigned length = u16(64), restart = u16(66), channels = u16(68), patterns = u16(70),
                   instruments = u16(72);
    EXPECT_TRUE(length >= 1 && length <= 256);
    EXPECT_LT(restart, length);
    EXPECT_TRUE(channels >= 2 && channels <= 32 && channels % 2 == 0) << channels;
    EXPECT_EQ(u16(74) & 1u, 1u) << "linear frequency table";
    EXPECT_TRUE(u16(76) >= 1 && u16(76) <= 31);
    EXPECT_TRUE(u16(78) >= 32 && u16(78) <= 255);
    for (unsigned i = 0; i < length; ++i)
        EXPECT_LT(f[80 + i], patterns) << "order " << i;
    EXPECT_GE(instruments, 1u);

    size_t at = 336;
    for (unsigned p = 0; p < patterns; ++p) {
        SCOPED_TRACE("pattern " + std::to_string(p));
        ASSERT_EQ(u32(at), 9u);
        EXPECT_EQ(f.at(at + 4), 0);
        const unsigned rows = u16(at + 5);
        const size_t packed = u16(at + 7);
        ASSERT_TRUE(rows >= 1 && rows <= 256);
        size_t q = at + 9;
        const size_t end = q + packed;
        ASSERT_LE(end, f.size());
        if (packed > 0) {
            for (unsigned cell = 0; cell < rows * channels; ++cell) {
                ASSERT_LT(q, end) << "cells run past the packed size";
                uint8_t flags = f[q];
                std::vector<uint8_t> fields(5, 0);
                if (flags & 0x80) {
                    ++q;
                    for (int bit = 0; bit < 5; ++bit)
                        if (flags & (1 << bit))
                            fields[static_cast<size_t>(bit)] = f.at(q++);
                } else {
                    for (int i = 0; i < 5; ++i)
                        fields[static_cast<size_t>(i)] = f.at(q++);
                }
                EXPECT_LE(fields[0], 97) << "note byte";
                EXPECT_TRUE(fields[2] < 0x51 || fields[2] > 0x5F) << "volume column";
                EXPECT_FALSE(fields[3] == 15 && fields[4] == 0) << "F00";
            }
            ASSERT_EQ(q, end) << "packed size does not match the cells";
        } else {
            EXPECT_EQ(rows, 64u) << "an empty pattern must keep 64 rows";
        }
        at = end;
    }

    for (unsigned i = 0; i < instruments; ++i) {
        SCOPED_TRACE("instrument " + std::to_string(i + 1));
        const size_t header = u32(at);
        const unsigned samples = u16(at + 27);
        ASSERT_EQ(header, samples ? 263u : 33u);
        if (samples == 0) {
            at += 33;
            continue;
        }
        EXPECT_EQ(u32(at + 29), 40u);
        for (int k = 0; k < 96; ++k)
            EXPECT_LT(f.at(at + 33 + static_cast<size_t>(k)), samples);
        const unsigned points = f.at(at + 225);
        EXPECT_LE(points, 12u);
        if (f.at(at + 233) & 1) {
            ASSERT_GT(points, 0u);
            EXPECT_EQ(u16(at + 129), 0u) << "envelope starts at tick 0";
            for (unsigned k = 1; k < points; ++k)
                EXPECT_GT(u16(at + 129 + 4 * k), u16(at + 129 + 4 * (k - 1)));
            for (unsigned k = 0; k < points; ++k)
                EXPECT_LE(u16(at + 131 + 4 * k), 64u);
            if (f[at + 233] & 2) {
                EXPECT_LT(f.at(at + 227), points);
            }
        }
        EXPECT_LE(u16(at + 239), 0x0FFFu);
        size_t sampleAt = at + header;
        size_t dataBytes = 0;
        for (unsigned s = 0; s < samples; ++s, sampleAt += 40) {
            const size_t len = u32(sampleAt), loopStart = u32(sampleAt + 4),
                         loopLen = u32(sampleAt + 8);
            const uint8_t type = f.at(sampleAt + 14);
            EXPECT_GT(len, 0u);
            EXPECT_LE(f.at(sampleAt + 12), 64);
            EXPECT_NE(type & 3, 3) << "both loop bits";
            EXPECT_EQ(type & ~0x13, 0) << "unknown type bits";
            EXPECT_EQ(f.at(sampleAt + 17), 0) << "reserved byte (0xAD means ADPCM)";
            if (type & 0x10) {
                EXPECT_EQ(len % 2, 0u);
                EXPECT_EQ(loopStart % 2, 0u);
                EXPECT_EQ(loopLen % 2, 0u);
            }
            if (type & 3) {
                EXPECT_GT(loopLen, 0u);
                EXPECT_LE(loopStart + loopLen, len);
            }
            const int note = static_cast<int8_t>(f.at(sampleAt + 16));
            EXPECT_TRUE(note >= -48 && note <= 71);
            EXPECT_EQ(static_cast<int8_t>(f.at(sampleAt + 13)) % 8, 0) << "finetune in steps of 8";
            dataBytes += len;
        }
        at = sampleAt + dataBytes;
    }
    EXPECT_EQ(at, f.size()) << "the file does not end where its last instrument does";
}

/// The whole song rendered once through, the way libxmp plays it.
struct Rendered {
    int ReportedMs = 0;
    std::vector<int16_t> Stereo;
};

Rendered RenderOnce(const std::string& path) {
    Rendered out;
    xmp_context ctx = xmp_create_context();
    if (xmp_load_module(ctx, const_cast<char*>(path.c_str())) != 0) {
        xmp_free_context(ctx);
        return out;
    }
    xmp_module_info info;
    xmp_get_module_info(ctx, &info);
    out.ReportedMs = info.seq_data[0].duration;
    xmp_start_player(ctx, 44100, 0);
    xmp_frame_info frame;
    while (xmp_play_frame(ctx) == 0) {
        xmp_get_frame_info(ctx, &frame);
        if (frame.loop_count > 0)
            break;
        const auto* s = static_cast<const int16_t*>(frame.buffer);
        out.Stereo.insert(out.Stereo.end(), s, s + frame.buffer_size / 2);
    }
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
    return out;
}

TEST_P(MusicModule, PlaysOneToThreeMinutesWithoutSilenceOrClipping) {
    const Rendered r = RenderOnce(Path());
    ASSERT_FALSE(r.Stereo.empty()) << "libxmp cannot load " << Path();
    const double seconds = static_cast<double>(r.Stereo.size()) / 2 / 44100;
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 180.0);
    EXPECT_NEAR(r.ReportedMs / 1000.0, seconds, 0.5);

    // 100 ms windows; nothing quieter than -50 dBFS for more than 2 s.
    const size_t window = 4410 * 2;
    int quietRun = 0, longestQuiet = 0;
    double total = 0;
    size_t clipped = 0;
    for (size_t start = 0; start + window <= r.Stereo.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i) {
            const double v = r.Stereo[i] / 32768.0;
            sum += v * v;
            if (r.Stereo[i] >= 32767 || r.Stereo[i] <= -32767)
                ++clipped;
        }
        total += sum;
        const bool quiet = std::sqrt(sum / window) < 0.00316;
        quietRun = quiet ? quietRun + 1 : 0;
        longestQuiet = std::max(longestQuiet, quietRun);
    }
    EXPECT_LE(longestQuiet, 20) << "a silent stretch of " << longestQuiet / 10.0 << " s";
    const double rms = std::sqrt(total / static_cast<double>(r.Stereo.size()));
    EXPECT_GT(rms, 0.03);
    EXPECT_LT(rms, 0.4);
    EXPECT_LT(static_cast<double>(clipped), 1e-4 * static_cast<double>(r.Stereo.size()))
        << "clipping";
}

/// The game plays music through SDL2_mixer; it must accept the module as one.
TEST_P(MusicModule, LoadsInTheGamesMusicPlayer) {
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    Mix_Music* music = Mix_LoadMUS(Path().c_str());
    EXPECT_NE(music, nullptr) << Mix_GetError();
    if (music) {
        EXPECT_EQ(Mix_GetMusicType(music), MUS_MOD);
        EXPECT_EQ(Mix_PlayMusic(music, -1), 0) << Mix_GetError();
        Mix_HaltMusic();
        Mix_FreeMusic(music);
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

INSTANTIATE_TEST_SUITE_P(GameMusic, MusicModule, ::testing::Values("Menu.xm", "Race.xm"),
                         [](const ::testing::TestParamInfo<const char*>& file) {
                             return std::string(file.param).substr(0, 4);
                         });

} // namespace
} // namespace vantorel

#include "engine/wave_voices.hpp"

#include "engine/dx_sound.hpp"
#include "engine/wave_library.hpp"
#include "platform/audio_output.hpp"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vantorel {

namespace {

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

void PutU32(std::vector<uint8_t>& out, size_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* tag, std::span<const uint8_t> body) {
    PutTag(out, tag);
    PutU32(out, body.size());
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1u)
        out.push_back(0); // chunks are word-aligned
}

} // namespace

std::vector<uint8_t> BuildRiffWave(const TWave& wave) {
    std::vector<uint8_t> out;
    if (wave.Format().empty())
        return out;
    out.reserve(12 + 8 + wave.Format().size() + 1 + 8 + wave.Data().size() + 1);
    PutTag(out, "RIFF");
    PutU32(out, 0);
    PutTag(out, "WAVE");
    PutChunk(out, "fmt ", wave.Format());
    PutChunk(out, "data", wave.Data());
    const size_t riffSize = out.size() - 8;
    for (size_t i = 0; i < 4; ++i)
        out[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
    return out;
}

TWaveVoices::~TWaveVoices() {
    ReleaseAll();
}

void TWaveVoices::Initialize(TDXSound& sound) {
    ReleaseAll();
    sound_ = sound.Initialized() ? &sound : nullptr;
}

void TWaveVoices::Restore(const TWaveCollectionItem& item) {
    if (sound_ == nullptr || item.Wave.IsEmpty())
        return;
    IAudioOutput& output = sound_->Output();
    // Voices playing the old recording must not outlive it.
    Stop();
    if (wave_ >= 0)
        output.FreeWave(wave_);
    const std::vector<uint8_t> riff = BuildRiffWave(item.Wave);
    wave_ = output.LoadWave(riff);
    looped_ = item.Looped;
    maxPlayingCount_ = item.MaxPlayingCount();
}

void TWaveVoices::Finalize() {
    ReleaseAll();
}

void TWaveVoices::ReleaseVoices() {
    for (int32_t channel : voices_)
        sound_->ReleaseChannel(channel);
    voices_.clear();
}

void TWaveVoices::ReleaseAll() {
    if (sound_ == nullptr)
        return;
    ReleaseVoices();
    if (mainChannel_ >= 0)
        sound_->ReleaseChannel(mainChannel_);
    mainChannel_ = -1;
    if (wave_ >= 0)
        sound_->Output().FreeWave(wave_);
    wave_ = -1;
    sound_ = nullptr;
}

void TWaveVoices::FollowSettings(const TWaveCollectionItem& item) {
    if (item.Looped != looped_) {
        Stop();
        looped_ = item.Looped;
    }
    if (item.MaxPlayingCount() != maxPlayingCount_) {
        ReleaseVoices();
        maxPlayingCount_ = item.MaxPlayingCount();
    }
}

void TWaveVoices::Play(const TWaveCollectionItem& item, bool wait) {
    if (sound_ == nullptr || wave_ < 0)
        return;
    FollowSettings(item);
    IAudioOutput& output = sound_->Output();
    if (item.Looped) {
        if (mainChannel_ < 0)
            mainChannel_ = sound_->AcquireChannel();
        if (mainChannel_ < 0)
            return;
        output.Stop(mainChannel_);
        output.Play(wave_, mainChannel_, true);
        return;
    }
    auto chosen = std::find_if(voices_.begin(), voices_.end(),
                               [&output](int32_t channel) { return !output.IsPlaying(channel); });
    int32_t channel = -1;
    if (chosen != voices_.end()) {
        channel = *chosen;
        voices_.erase(chosen);
    } else if (maxPlayingCount_ == 0 || static_cast<int32_t>(voices_.size()) < maxPlayingCount_) {
        channel = sound_->AcquireChannel();
        if (channel < 0)
            return; // no voice can be made: this play is skipped
    } else {
        channel = voices_.front();
        voices_.erase(voices_.begin());
    }
    voices_.push_back(channel);
    output.Stop(channel);
    output.Play(wave_, channel, false);
    while (wait && output.IsPlaying(channel))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void TWaveVoices::Stop() {
    if (sound_ == nullptr)
        return;
    IAudioOutput& output = sound_->Output();
    if (mainChannel_ >= 0)
        output.Stop(mainChannel_);
    for (int32_t channel : voices_)
        output.Stop(channel);
}

} // namespace vantorel

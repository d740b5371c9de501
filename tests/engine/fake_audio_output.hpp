// A sound device for the tests: records every call as a line of text and keeps
// which channels play, so that a test can let a voice end when it wants.
#pragma once

#include "platform/audio_output.hpp"

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace vantorel {

class TFakeAudioOutput final : public IAudioOutput {
public:
    bool Opens = true;
    /// Most channels the device can give.
    int32_t ChannelLimit = 1000;
    bool MusicLoads = true;

    std::vector<std::string> Calls;
    std::vector<std::vector<uint8_t>> LoadedWaves;
    std::map<int32_t, bool> Playing;

    bool Open() override {
        Calls.push_back("Open");
        open_ = Opens;
        return open_;
    }
    void Close() override {
        Calls.push_back("Close");
        open_ = false;
        Playing.clear();
    }
    bool IsOpen() const override { return open_; }
    int32_t ReserveChannels(int32_t count) override {
        channels_ = std::max(channels_, std::min(count, ChannelLimit));
        return channels_;
    }
    int32_t LoadWave(std::span<const uint8_t> riffWave) override {
        LoadedWaves.emplace_back(riffWave.begin(), riffWave.end());
        const auto handle = static_cast<int32_t>(LoadedWaves.size() - 1);
        Calls.push_back("LoadWave " + std::to_string(handle));
        return handle;
    }
    void FreeWave(int32_t wave) override { Calls.push_back("FreeWave " + std::to_string(wave)); }
    void Play(int32_t wave, int32_t channel, bool looped) override {
        Calls.push_back("Play " + std::to_string(wave) + " on " + std::to_string(channel) +
                        (looped ? " looped" : ""));
        Playing[channel] = true;
    }
    void Stop(int32_t channel) override {
        Calls.push_back("Stop " + std::to_string(channel));
        Playing[channel] = false;
    }
    bool IsPlaying(int32_t channel) const override {
        const auto it = Playing.find(channel);
        return it != Playing.end() && it->second;
    }
    bool LoadMusic(const std::string& path) override {
        Calls.push_back("LoadMusic " + path);
        return MusicLoads;
    }
    void PlayMusic() override { Calls.push_back("PlayMusic"); }
    void FreeMusic() override { Calls.push_back("FreeMusic"); }

    /// The calls since the last Take, which are then forgotten.
    std::vector<std::string> Take() {
        std::vector<std::string> calls;
        calls.swap(Calls);
        return calls;
    }

private:
    bool open_ = false;
    int32_t channels_ = 0;
};

} // namespace vantorel

// The sound device: effects as loaded recordings played on numbered channels
// (the voices), and one tracker module at a time as music.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vantorel {

class IAudioOutput {
public:
    virtual ~IAudioOutput() = default;

    /// Opens the device. False leaves the game silent: every call below then does
    /// nothing and fails nothing.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    /// Makes sure at least count channels exist; returns how many there are.
    virtual int32_t ReserveChannels(int32_t count) = 0;
    /// Loads a RIFF WAVE recording; a handle >= 0, or -1 when it cannot be used.
    virtual int32_t LoadWave(std::span<const uint8_t> riffWave) = 0;
    virtual void FreeWave(int32_t wave) = 0;
    /// Plays wave on channel from its start, once or looped until stopped.
    virtual void Play(int32_t wave, int32_t channel, bool looped) = 0;
    virtual void Stop(int32_t channel) = 0;
    virtual bool IsPlaying(int32_t channel) const = 0;

    /// Loads a tracker module from a file, replacing the one loaded; false when it
    /// cannot be read.
    virtual bool LoadMusic(const std::string& path) = 0;
    /// Plays the loaded module from its start, looping.
    virtual void PlayMusic() = 0;
    /// Stops and forgets the loaded module.
    virtual void FreeMusic() = 0;
};

/// The silent device of headless runs: opens, loads and plays nothing.
class TNullAudioOutput final : public IAudioOutput {
public:
    bool Open() override { return false; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    int32_t ReserveChannels(int32_t) override { return 0; }
    int32_t LoadWave(std::span<const uint8_t>) override { return -1; }
    void FreeWave(int32_t) override {}
    void Play(int32_t, int32_t, bool) override {}
    void Stop(int32_t) override {}
    bool IsPlaying(int32_t) const override { return false; }
    bool LoadMusic(const std::string&) override { return false; }
    void PlayMusic() override {}
    void FreeMusic() override {}
};

} // namespace vantorel

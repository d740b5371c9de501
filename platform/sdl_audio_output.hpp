// The desktop's sound device, through SDL2_mixer: one chunk per recording, mixer
// channels as voices, and the module player for the music.
#pragma once

#include "platform/audio_output.hpp"

#include <vector>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

namespace vantorel {

class TSdlAudioOutput final : public IAudioOutput {
public:
    TSdlAudioOutput() = default;
    ~TSdlAudioOutput() override;
    TSdlAudioOutput(const TSdlAudioOutput&) = delete;
    TSdlAudioOutput& operator=(const TSdlAudioOutput&) = delete;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    int32_t ReserveChannels(int32_t count) override;
    int32_t LoadWave(std::span<const uint8_t> riffWave) override;
    void FreeWave(int32_t wave) override;
    void Play(int32_t wave, int32_t channel, bool looped) override;
    void Stop(int32_t channel) override;
    bool IsPlaying(int32_t channel) const override;
    bool LoadMusic(const std::string& path) override;
    void PlayMusic() override;
    void FreeMusic() override;

private:
    bool open_ = false;
    int32_t channels_ = 0;
    std::vector<Mix_Chunk*> chunks_;
    Mix_Music* music_ = nullptr;
};

} // namespace vantorel

#include "platform/sdl_audio_output.hpp"

#include <SDL.h>
#include <SDL_mixer.h>

namespace vantorel {

TSdlAudioOutput::~TSdlAudioOutput() {
    Close();
}

bool TSdlAudioOutput::Open() {
    if (open_)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_Init(MIX_INIT_MOD);
    channels_ = Mix_AllocateChannels(-1);
    open_ = true;
    return true;
}

void TSdlAudioOutput::Close() {
    if (!open_)
        return;
    Mix_HaltChannel(-1);
    FreeMusic();
    for (Mix_Chunk*& chunk : chunks_) {
        if (chunk != nullptr)
            Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
    chunks_.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
    channels_ = 0;
}

int32_t TSdlAudioOutput::ReserveChannels(int32_t count) {
    if (!open_)
        return 0;
    if (count > channels_)
        channels_ = Mix_AllocateChannels(count);
    return channels_;
}

int32_t TSdlAudioOutput::LoadWave(std::span<const uint8_t> riffWave) {
    if (!open_ || riffWave.empty())
        return -1;
    SDL_RWops* rw = SDL_RWFromConstMem(riffWave.data(), static_cast<int>(riffWave.size()));
    if (rw == nullptr)
        return -1;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);
    if (chunk == nullptr)
        return -1;
    chunks_.push_back(chunk);
    return static_cast<int32_t>(chunks_.size() - 1);
}

void TSdlAudioOutput::FreeWave(int32_t wave) {
    if (wave < 0 || static_cast<size_t>(wave) >= chunks_.size() || chunks_[wave] == nullptr)
        return;
    // A chunk must not be freed while a channel plays it.
    for (int32_t c = 0; c < channels_; ++c)
        if (Mix_GetChunk(c) == chunks_[wave])
            Mix_HaltChannel(c);
    Mix_FreeChunk(chunks_[wave]);
    chunks_[wave] = nullptr;
}

void TSdlAudioOutput::Play(int32_t wave, int32_t channel, bool looped) {
    if (!open_ || wave < 0 || static_cast<size_t>(wave) >= chunks_.size() ||
        chunks_[wave] == nullptr || channel < 0 || channel >= channels_)
        return;
    Mix_PlayChannel(channel, chunks_[wave], looped ? -1 : 0);
}

void TSdlAudioOutput::Stop(int32_t channel) {
    if (open_ && channel >= 0 && channel < channels_)
        Mix_HaltChannel(channel);
}

bool TSdlAudioOutput::IsPlaying(int32_t channel) const {
    return open_ && channel >= 0 && channel < channels_ && Mix_Playing(channel) != 0;
}

bool TSdlAudioOutput::LoadMusic(const std::string& path) {
    if (!open_)
        return false;
    FreeMusic();
    music_ = Mix_LoadMUS(path.c_str());
    return music_ != nullptr;
}

void TSdlAudioOutput::PlayMusic() {
    if (open_ && music_ != nullptr)
        Mix_PlayMusic(music_, -1);
}

void TSdlAudioOutput::FreeMusic() {
    if (music_ == nullptr)
        return;
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
}

} // namespace vantorel

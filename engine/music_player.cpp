#include "engine/music_player.hpp"

#include "platform/audio_output.hpp"

namespace vantorel {

TMusicPlayer::~TMusicPlayer() {
    Free();
}

bool TMusicPlayer::LoadFromFile(const std::string& path) {
    Free();
    loaded_ = output_.LoadMusic(path);
    if (loaded_)
        path_ = path;
    return loaded_;
}

void TMusicPlayer::Play() {
    if (loaded_)
        output_.PlayMusic();
}

void TMusicPlayer::Free() {
    if (!loaded_)
        return;
    output_.FreeMusic();
    loaded_ = false;
    path_.clear();
}

void TMusicPlayer::PlayFile(const std::string& path, bool musicOn) {
    if (!musicOn)
        return;
    if (LoadFromFile(path))
        Play();
}

void TMusicPlayer::PlayForScreen(bool gameScreen, bool musicOn) {
    PlayFile(gameScreen ? raceFile_ : menuFile_, musicOn);
}

void TMusicPlayer::MusicOptionChanged(bool gameScreen, bool musicOn) {
    Stop();
    PlayForScreen(gameScreen, musicOn);
}

} // namespace vantorel

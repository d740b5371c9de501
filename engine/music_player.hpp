// The music: one tracker module at a time, the menu module on the menu screens
// and the race module during a game, gated by the music option.
#pragma once

#include <string>
#include <utility>

namespace vantorel {

class IAudioOutput;

class TMusicPlayer {
public:
    /// The output must outlive the player. It plays only while the output is
    /// open (the sound device opens it). menuFile and raceFile are the modules of
    /// the menu screens and of a game.
    TMusicPlayer(IAudioOutput& output, std::string menuFile, std::string raceFile)
        : output_(output), menuFile_(std::move(menuFile)), raceFile_(std::move(raceFile)) {}
    ~TMusicPlayer();
    TMusicPlayer(const TMusicPlayer&) = delete;
    TMusicPlayer& operator=(const TMusicPlayer&) = delete;

    // The module player's operations.

    /// Frees the loaded module, then loads the file; true when a module is now
    /// loaded. A file that is missing or unreadable leaves none, silently.
    bool LoadFromFile(const std::string& path);
    /// Starts the loaded module from its beginning, looping; nothing when none.
    void Play();
    /// Stops playback and forgets the module; nothing when none is loaded.
    void Free();
    bool Loaded() const { return loaded_; }
    /// The file of the loaded module, empty when none.
    const std::string& LoadedPath() const { return path_; }

    // The game's rules, called by the main window.

    /// With the music option on, replaces the module by the one at path and
    /// plays it; with it off nothing changes (a module already playing keeps
    /// playing).
    void PlayFile(const std::string& path, bool musicOn);
    /// PlayFile of the race module when gameScreen (screen code 5), else of the
    /// menu module. Called when a game starts and when the menu returns with a
    /// change of music.
    void PlayForScreen(bool gameScreen, bool musicOn);
    /// Stops and frees the module; nothing when none is loaded.
    void Stop() { Free(); }
    /// After the music option was toggled: stops the music, then plays for the
    /// current screen, which plays only when the option is now on.
    void MusicOptionChanged(bool gameScreen, bool musicOn);

private:
    IAudioOutput& output_;
    std::string menuFile_;
    std::string raceFile_;
    bool loaded_ = false;
    std::string path_;
};

} // namespace vantorel

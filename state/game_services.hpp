// What screens, windows and the game ask of the main window's media and files:
// sound effects, the music of a screen, the display mode and saving the table.
// The main window (app/) implements it.
#pragma once

#include "state/sound_sink.hpp"

namespace vantorel {

class IGameServices : public ISoundSink {
public:
    /// Starts the music that belongs to the current screen, if the music option is on.
    virtual void PlayMusicForScreen() = 0;
    /// Applies the full-screen option to the display.
    virtual void SetDisplayMode() = 0;
    /// Writes the high-score table (and the options, which carry its signature)
    /// now, so that a crash or a killed process loses no score.
    virtual void SaveTable() = 0;
};

} // namespace vantorel

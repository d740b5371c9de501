// What screens, windows and the game ask of the main window's media and files:
// sound effects, the music of a screen, the display mode and saving the table.
// The main window (app/) implements it.
#pragma once

#include "state/sound_sink.hpp"

#include <cstdint>
#include <vector>

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
    /// The replay file of the game that ended last, with the name and add text
    /// the player entered after it, for the score report to send along; empty
    /// when there is none.
    virtual std::vector<uint8_t> FinishedGameReplay() const = 0;
};

} // namespace vantorel

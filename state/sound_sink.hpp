// Where the game's sound effects go: the one thing a game object may ask of the
// desktop. The main window's services implement it; tests log the names.
#pragma once

#include <string>

namespace vantorel {

class ISoundSink {
public:
    virtual ~ISoundSink() = default;

    /// Plays a sound of the sound library by name when the sound option is on.
    virtual void PlaySound(const std::string& name) = 0;
};

} // namespace vantorel

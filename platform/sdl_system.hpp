// Brings the desktop services up for the game's lifetime and down at exit.
#pragma once

#include <string>

namespace vantorel {

/// The folder that holds the running program, with a trailing '/'; empty when the
/// platform cannot tell.
std::string ProgramFolder();

/// True when SDL's video runs on one of its stand-ins for a desktop (dummy or
/// offscreen), which draw nowhere a player could see.
bool VideoDriverIsHeadless();

/// Starts SDL's video, event and timer services; one instance lives in main() for
/// the whole run. Raises EVantorelError with SDL's text when they cannot start, and
/// when no desktop display can be reached (unless a headless driver was asked for).
class TSdlSystem {
public:
    TSdlSystem();
    ~TSdlSystem();
    TSdlSystem(const TSdlSystem&) = delete;
    TSdlSystem& operator=(const TSdlSystem&) = delete;
};

} // namespace vantorel

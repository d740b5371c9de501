// The main window's whole face to the layers below: the navigation between
// screens and windows and the media and file services together. The main window
// (app/) implements it; screens, windows and the game see only the part they use
// through TGameContext (Navigation, Services), the game objects only a sound sink.
#pragma once

#include "state/game_navigation.hpp"
#include "state/game_services.hpp"

namespace vantorel {

class IGameShell : public IGameNavigation, public IGameServices {};

} // namespace vantorel

// Everything a screen, a window or a game object works with: the shared state, the
// sprite engine and picture libraries of the main window, and the main window's
// navigation and services. The main window owns all of it and hands out this one bundle.
#pragma once

namespace vantorel {

class IGameNavigation;
class IGameServices;
class TDXImageList;
class TDXSpriteEngine;
struct TGameState;

struct TGameContext {
    /// The shared run-time state, read and written directly.
    TGameState& State;
    /// The sprite tree: sprites are created with &Sprites.Engine as parent.
    TDXSpriteEngine& Sprites;
    /// "Data/Res/Res1.dxg": menu pictures.
    TDXImageList& Images1;
    /// "Data/Res/Res2.dxg": the world, ships, enemies, bonuses and the panel.
    TDXImageList& Images2;
    /// Screen and window flow and exit.
    IGameNavigation& Navigation;
    /// Sound, music, display mode and saving the table.
    IGameServices& Services;
};

} // namespace vantorel

// Everything a screen, a window or a game object works with: the shared state, the
// sprite engine and picture libraries of the main window, and the main window's
// services. The main window owns all of it and hands out this one bundle.
#pragma once

namespace vantorel {

class IGameShell;
class TDXInput;
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
    /// Screen and window flow, sound, display mode and exit.
    IGameShell& Shell;
    /// The input states (keyboard and joystick), updated once a frame.
    TDXInput& Input;
};

} // namespace vantorel

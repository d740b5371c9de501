// The frame of the modal windows that show one (the questions, the name entry
// and the score report's window).
#pragma once

#include <cstdint>

namespace vantorel {

class TMyImageSprite;
struct TGameContext;

/// The picture "Window" at (210, 200) on layer 14, under the window's buttons
/// and cursor (layer 15) and its text. Owned by the sprite engine; the window
/// kills it when it closes.
TMyImageSprite* CreateWindowFrame(TGameContext& ctx);

} // namespace vantorel

// Where the player is: which screen runs, which window is open over it, and which
// of the screen's or window's items is lit. Changed only by the screen builders and
// leavers, NewGame/EndGame, OpenWindow/CloseWindow and the items' own keys, pad and
// pointer handling.
#pragma once

#include <cstdint>

namespace vantorel {

/// Which screen runs its handler each frame.
enum class TScreenCode : uint8_t {
    None = 0,
    MainMenu = 1,
    Options = 2,
    HighScores = 3,
    Help = 4,
    Game = 5,
};

/// Which modal window is open over the screen (3 is never used).
enum class TWindowKind : uint8_t {
    None = 0,
    ExitGame = 1,
    ExitToMenu = 2,
    ClearTable = 4,
    Pause = 5,
    LevelBanner = 6,
    GameOver = 7,
    NameEntry = 8,
    SendQuestion = 9,
    Sending = 10,
};

struct TMenuCursor {
    TScreenCode ScreenCode = TScreenCode::None;
    TWindowKind WindowKind = TWindowKind::None;
    /// Index of the highlighted item, 0 for none.
    int32_t ItemIndex = 0;
    /// The live item indexes, inclusive; First > Last means no item.
    int32_t FirstItem = 0;
    int32_t LastItem = 0;
    /// Highlight and range saved by OpenWindow, restored by CloseWindow.
    int32_t SavedItemIndex = 0;
    int32_t SavedFirstItem = 0;
    int32_t SavedLastItem = 0;
    /// Milliseconds left of the level banner or the game-over window.
    int32_t WindowCountdown = 0;
};

} // namespace vantorel

// The game's shared run-time state: one plain struct owned by the main window and
// read and written directly by the frame loop, the screens, the gameplay and the
// game objects. Everything runs on the one game thread, so nothing is locked.
// The small counter routines that step menu selections and millisecond timers
// live here too.
#pragma once

#include "state/input_snapshot.hpp"
#include "storage/high_score_table.hpp"
#include "storage/options_record.hpp"

#include <array>
#include <cstdint>
#include <random>
#include <string>

namespace vantorel {

class TMenuButton;
class TMyImageSprite;
class TPlayer;
class TScrollBackground;

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

/// The one program-wide random generator, seeded at start-up (tests seed it fixed).
class TGameRandom {
public:
    void Seed(uint32_t seed) { engine_.seed(seed); }
    /// A uniform integer 0..n-1; 0 when n <= 0.
    int32_t operator()(int32_t n);

private:
    std::mt19937 engine_{1u};
};

struct TGameState {
    // --- Display and frame (start-up, display-mode switch and the frame loop) ---
    /// The display's vertical refresh rate in hertz; 60 when the platform cannot tell.
    int32_t RefreshRate = 60;
    /// 85 / frame rate: multiplies every speed given in pixels per frame at 85 fps.
    double FrameFactor = 1.0;
    /// trunc(1000 / frame rate): milliseconds every timer loses per frame.
    int32_t FrameMs = 15;

    // --- Screens and windows (changed only by the screen builders and leavers,
    //     NewGame/EndGame, and OpenWindow/CloseWindow) ---
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
    /// The item sprites, indexes 1 to 12 (0 unused); 11 and 12 are "Yes" and "No".
    /// Owned by the sprite engine; null where no item lives.
    std::array<TMenuButton*, 13> Items{};

    // --- Input: the frame's snapshot, made by the main window once a frame
    //     before the screen or window runs; read, never written, by the rules ---
    TInputSnapshot Input;

    // --- Game ---
    int32_t Score = 0;
    int32_t Lives = 0;
    int32_t Level = 0;
    /// The last name typed; kept from one game to the next, never saved.
    std::string PlayerName;
    /// Kills still needed to finish the level.
    int32_t MonstersLeft = 0;
    bool LevelFinishing = false;
    bool TruckPresent = false;
    bool MegaPresent = false;
    /// Enemy indexes 0..6 the spawners may choose this level.
    std::array<bool, 7> EnemyEnabled{};
    int32_t EnemyTypeCount = 0;
    /// Bonus indexes 1..10 (0 unused).
    std::array<bool, 11> BonusEnabled{};
    int32_t BonusTypeCount = 0;
    /// Spawn timers in ms: grow by FrameMs each frame, reset to 0 by each add.
    int32_t GunTimer = 0;
    int32_t MonsterTimer = 0;
    int32_t BonusTimer = 0;

    // --- The game's fixed sprites (owned by the sprite engine; null when absent) ---
    TScrollBackground* Sky = nullptr; ///< lives for the whole run
    TPlayer* Player = nullptr;
    TMyImageSprite* EngineFlame1 = nullptr;
    TMyImageSprite* EngineFlame2 = nullptr;
    TMyImageSprite* MuzzleFlash = nullptr;
    TMyImageSprite* ShieldSprite = nullptr;
    TMyImageSprite* Panel = nullptr;
    std::array<TMyImageSprite*, 3> LifeIcons{};
    TMyImageSprite* WeaponIcon = nullptr;
    std::array<TScrollBackground*, 3> Hills{}; ///< "Hills1" (front) to "Hills3"

    // --- Persistent data held for the run ---
    HighScoreTable HighScores;
    /// The player's settings: full screen, music, sound effects, add text.
    OptionsRecord Options;

    /// Random(n) of the game rules.
    TGameRandom Random;

    /// True when Score beats at least one of the ten ranked table entries.
    bool ScoreQualifies() const { return HighScores.Qualifies(Score); }
};

// Counter routines on an int passed by reference; bounds are inclusive and "up"
// means toward the smaller index, as on a menu. Arithmetic never overflows.

/// Lo < v <= Hi: v - 1; otherwise Hi.
void StepUpWrap(int32_t& v, int32_t lo, int32_t hi);
/// Lo <= v < Hi: v + 1; otherwise Lo.
void StepDownWrap(int32_t& v, int32_t lo, int32_t hi);
/// v - step when that stays >= lo.
void StepUpStop(int32_t& v, int32_t lo, int32_t step);
/// v + step when that stays <= hi.
void StepDownStop(int32_t& v, int32_t hi, int32_t step);
/// Outside lo..hi: lo.
void PullInFromBelow(int32_t& v, int32_t lo, int32_t hi);
/// Outside lo..hi: hi.
void PullInFromAbove(int32_t& v, int32_t lo, int32_t hi);
/// v - step when that stays >= lo; true when it subtracted. Runs the millisecond
/// countdowns with lo 0 and step FrameMs.
bool CountDown(int32_t& v, int32_t lo, int32_t step);
/// v + step when that stays <= hi; true when it added.
bool CountUp(int32_t& v, int32_t hi, int32_t step);

} // namespace vantorel

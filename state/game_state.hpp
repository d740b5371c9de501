// The game's shared run-time state: a few named parts, owned by the main window and
// read and written directly by the frame loop, the screens, the gameplay and the
// game objects; code that needs one part takes only that part. Everything runs on
// the one game thread, so nothing is locked.
// The small counter routines that step menu selections and millisecond timers
// live here too.
#pragma once

#include "state/frame_timing.hpp"
#include "state/game_progress.hpp"
#include "state/game_random.hpp"
#include "state/input_snapshot.hpp"
#include "state/menu_cursor.hpp"
#include "state/saved_data.hpp"

#include <cstdint>

namespace vantorel {

struct TGameState {
    /// Frame rate and timer step (start-up, display-mode switch, the frame loop).
    TFrameTiming Timing;
    /// Screen, window and lit item.
    TMenuCursor Cursor;
    /// The frame's input, made by the main window once a frame before the screen
    /// or window runs; read, never written, by the rules.
    TInputSnapshot Input;
    /// Score, lives, level and the level's spawning.
    TGameProgress Progress;
    /// The high-score table and the settings, held for the run.
    TSavedData Saved;

    /// Random(n) of the game rules.
    TGameRandom Random;

    /// True when the score beats at least one of the ten ranked table entries.
    bool ScoreQualifies() const { return Saved.HighScores.Qualifies(Progress.Score); }
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

// What the game keeps between runs, held in memory for the run: the local
// high-score table and the player's settings. Loaded at start-up, written by the
// save files.
#pragma once

#include "storage/high_score_table.hpp"
#include "storage/options_record.hpp"

namespace vantorel {

struct TSavedData {
    HighScoreTable HighScores;
    /// The player's settings: full screen, music, sound effects, add text.
    OptionsRecord Options;
};

} // namespace vantorel

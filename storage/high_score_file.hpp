// The table file "Data/Save/hs": twenty lines ended by CR LF, name and score of
// ranks 1 to 10, best first. Names are single-byte text of any bytes and are
// written back exactly as read. The file carries no check of its own; its
// signature is kept in the options file.
#pragma once

#include "storage/high_score_table.hpp"
#include "storage/save_file_read.hpp"

#include <filesystem>
#include <optional>
#include <string>

namespace vantorel {

/// Slots 1 to 10 read from bytes (the spare left empty); nullopt when the bytes
/// stop before the tenth score or a score line is not a 32-bit number.
std::optional<HighScoreTable> ParseHighScores(const std::string& bytes);

/// The twenty lines of slots 1 to 10, scores in decimal; the spare is not written.
std::string FormatHighScores(const HighScoreTable& table);

struct THighScoreLoad : TSaveFileRead {
    /// The table read, or the default table when the file is missing, unreadable
    /// or malformed (Complete is then false).
    HighScoreTable Table = HighScoreTable::Defaults();
};

/// Loads the table file at path (normally "Data/Save/hs").
THighScoreLoad LoadHighScoreFile(const std::filesystem::path& path);

/// Saves the table alone through a temporary file. The exit code uses
/// TSaveFiles::Save, which saves the table and the options together.
bool SaveHighScoreFile(const std::filesystem::path& path, const HighScoreTable& table);

} // namespace vantorel

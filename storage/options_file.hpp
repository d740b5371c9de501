// The options file "Data/Save/options": five lines ended by CR LF, single-byte
// text read and written as raw bytes: full screen, music and sound effects as
// "0"/"1", the add text, and the signature of the high-score table saved beside it.
#pragma once

#include "storage/options_record.hpp"
#include "storage/save_file_read.hpp"

#include <filesystem>
#include <string>

namespace vantorel {

struct HighScoreTable;

struct TOptionsParse {
    OptionsRecord Options;
    /// False when the bytes stopped before all five values (a file cut short, or
    /// a flag line that is not a number); the values read before the fault are
    /// kept and the rest are defaults.
    bool Complete = true;
};

/// Reads the five values. A flag other than 0 counts as 1; the add text is held
/// to the name editor's characters and length (see TNameEditor::HoldToRules).
TOptionsParse ParseOptions(const std::string& bytes);

/// The file's bytes: the three flags, the add text and signature, each line
/// ended by CR LF.
std::string FormatOptions(const OptionsRecord& options, const std::string& signature);

struct TOptionsLoad : TSaveFileRead {
    /// The values read; defaults (stored signature empty) for a missing or
    /// unreadable file, and for the values after the fault in one cut short.
    OptionsRecord Options;
};

/// Loads the options file at path (normally "Data/Save/options").
TOptionsLoad LoadOptionsFile(const std::filesystem::path& path);

/// Saves the options alone, with the signature of table, through a temporary
/// file. The start-up and exit code uses TSaveFiles::Save, which saves the
/// options and the table together.
bool SaveOptionsFile(const std::filesystem::path& path, const OptionsRecord& options,
                     const HighScoreTable& table);

} // namespace vantorel

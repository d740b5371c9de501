// The two save files together: the table "hs" and the options "options" in the
// save folder (see TGamePaths). The options file holds the table's signature, so the two are
// loaded together at start-up and saved together at exit, and never disagree.
#pragma once

#include <filesystem>

namespace vantorel {

struct HighScoreTable;
struct OptionsRecord;

class TSaveFiles {
public:
    explicit TSaveFiles(std::filesystem::path folder);

    const std::filesystem::path& Folder() const { return folder_; }

    std::filesystem::path TablePath() const { return folder_ / "hs"; }
    std::filesystem::path OptionsPath() const { return folder_ / "options"; }

    /// Start-up, after the libraries are loaded: reads the table, then the
    /// options, then compares the stored signature with the table's and resets
    /// slots 1 to 10 to the defaults when they differ (a table edited by hand, or
    /// no options file). Missing files give defaults. A file whose content gets
    /// replaced, because it was cut short or malformed or reset by the check, is
    /// first kept aside as "<name>.bad". A file that is there but cannot be read
    /// gives defaults and is marked not to be written. Nothing else is written.
    void Load(HighScoreTable& table, OptionsRecord& options);

    /// Exit: writes the options (with the table's signature) and the table, both
    /// to temporary files first and then renamed over the old ones, creating the
    /// folder when missing. When the options file may not be written, nothing is
    /// written; when only the table may not be, the options are written with the
    /// signature they were read with, so the pair on disk still agrees. True when
    /// everything that was to be written was.
    bool Save(const HighScoreTable& table, const OptionsRecord& options) const;

    /// False after Load found an options file it could not read.
    bool OptionsWritable() const { return optionsWritable_; }
    /// False after Load found a table file it could not read.
    bool TableWritable() const { return tableWritable_; }

private:
    std::filesystem::path folder_;
    bool optionsWritable_ = true;
    bool tableWritable_ = true;
};

} // namespace vantorel

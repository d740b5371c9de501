#include "storage/save_files.hpp"

#include "storage/atomic_file_set.hpp"
#include "storage/high_score_file.hpp"
#include "storage/high_score_table.hpp"
#include "storage/options_file.hpp"

namespace vantorel {

TSaveFiles::TSaveFiles(std::filesystem::path folder) : folder_(std::move(folder)) {}

void TSaveFiles::Load(HighScoreTable& table, OptionsRecord& options) {
    if (folder_.empty()) {
        // No place for saves (no home folder): defaults, and nothing to write.
        table.ResetToDefaults();
        options = OptionsRecord{};
        optionsWritable_ = tableWritable_ = false;
        return;
    }
    const THighScoreLoad hs = LoadHighScoreFile(TablePath());
    for (int32_t rank = 1; rank <= HighScoreTable::Ranked; ++rank)
        table[rank] = hs.Table[rank];
    tableWritable_ = hs.Writable();

    TOptionsLoad loaded = LoadOptionsFile(OptionsPath());
    options = std::move(loaded.Options);
    optionsWritable_ =
        loaded.Writable() && loaded.KeepAsideIfReplaced(OptionsPath(), !loaded.Complete);

    bool reset = false;
    if (!table.SignatureMatches(options.StoredSignature)) {
        const HighScoreTable before = table;
        table.ResetToDefaults();
        reset = before.Entries != table.Entries;
    }
    if (!hs.KeepAsideIfReplaced(TablePath(), reset || !hs.Complete))
        tableWritable_ = false;
}

bool TSaveFiles::Save(const HighScoreTable& table, const OptionsRecord& options) const {
    if (!optionsWritable_)
        return false;
    TAtomicFileSet set;
    const std::string signature = tableWritable_ ? table.Signature() : options.StoredSignature;
    if (!set.Stage(OptionsPath(), FormatOptions(options, signature)))
        return false;
    if (tableWritable_ && !set.Stage(TablePath(), FormatHighScores(table)))
        return false;
    return set.Commit();
}

} // namespace vantorel

#include "storage/options_file.hpp"

#include "score_format/name_editor.hpp"
#include "storage/atomic_file_set.hpp"
#include "storage/high_score_table.hpp"
#include "storage/text_file_reader.hpp"

namespace vantorel {

TOptionsParse ParseOptions(const std::string& bytes) {
    TOptionsParse parse;
    OptionsRecord& o = parse.Options;
    TTextFileReader reader(bytes);
    for (uint8_t* flag : {&o.FullScreen, &o.Music, &o.SoundEffects}) {
        const auto value = reader.ReadIntegerLine();
        if (!value) {
            parse.Complete = false;
            return parse;
        }
        *flag = *value != 0 ? 1 : 0;
    }
    const auto addText = reader.ReadLine();
    if (!addText) {
        parse.Complete = false;
        return parse;
    }
    o.AddText = TNameEditor::HoldToRules(*addText);
    const auto signature = reader.ReadLine();
    if (!signature) {
        parse.Complete = false;
        return parse;
    }
    o.StoredSignature = *signature;
    return parse;
}

std::string FormatOptions(const OptionsRecord& options, const std::string& signature) {
    std::string out;
    for (uint8_t flag : {options.FullScreen, options.Music, options.SoundEffects})
        out += flag != 0 ? "1\r\n" : "0\r\n";
    out += options.AddText + "\r\n";
    out += signature + "\r\n";
    return out;
}

TOptionsLoad LoadOptionsFile(const std::filesystem::path& path) {
    TOptionsLoad load;
    load.Read(path, [&load](const std::string& bytes) {
        TOptionsParse parse = ParseOptions(bytes);
        load.Options = std::move(parse.Options);
        return parse.Complete;
    });
    return load;
}

bool SaveOptionsFile(const std::filesystem::path& path, const OptionsRecord& options,
                     const HighScoreTable& table) {
    TAtomicFileSet set;
    return set.Stage(path, FormatOptions(options, table.Signature())) && set.Commit();
}

} // namespace vantorel

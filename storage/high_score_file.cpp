#include "storage/high_score_file.hpp"

#include "storage/atomic_file_set.hpp"
#include "storage/text_file_reader.hpp"

namespace vantorel {

std::optional<HighScoreTable> ParseHighScores(const std::string& bytes) {
    HighScoreTable table;
    TTextFileReader reader(bytes);
    for (int32_t rank = 1; rank <= HighScoreTable::Ranked; ++rank) {
        auto name = reader.ReadLine();
        if (!name)
            return std::nullopt;
        const auto score = reader.ReadIntegerLine();
        if (!score)
            return std::nullopt;
        table[rank] = HighScoreEntry{std::move(*name), *score};
    }
    return table;
}

std::string FormatHighScores(const HighScoreTable& table) {
    std::string out;
    for (int32_t rank = 1; rank <= HighScoreTable::Ranked; ++rank) {
        out += table[rank].Name + "\r\n";
        out += std::to_string(table[rank].Score) + "\r\n";
    }
    return out;
}

THighScoreLoad LoadHighScoreFile(const std::filesystem::path& path) {
    THighScoreLoad load;
    load.Read(path, [&load](const std::string& bytes) {
        auto table = ParseHighScores(bytes);
        if (table)
            load.Table = std::move(*table);
        return table.has_value();
    });
    return load;
}

bool SaveHighScoreFile(const std::filesystem::path& path, const HighScoreTable& table) {
    TAtomicFileSet set;
    return set.Stage(path, FormatHighScores(table)) && set.Commit();
}

} // namespace vantorel

// The local table of the ten best scores: the data model, its defaults, the
// insertion of a new score and the table signature that the options file keeps
// to tell a hand-edited table file. Reading and writing the table file live in
// storage/high_score_file.hpp.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vantorel {

/// One row of the table: the name typed by the player (any bytes when read from
/// the file) and the score reached.
struct HighScoreEntry {
    std::string Name;
    int32_t Score = 0;
    bool operator==(const HighScoreEntry&) const = default;
};

/// Eleven slots numbered 1 to 11 (Entries[0] is unused): slots 1 to 10 are the
/// ranked table, best first; slot 11 is the spare that receives a new score
/// before sorting and afterwards holds the entry that fell off. The spare is
/// never shown, stored or signed.
struct HighScoreTable {
    static constexpr int32_t Ranked = 10;
    static constexpr int32_t Spare = 11;
    std::array<HighScoreEntry, Spare + 1> Entries{};

    HighScoreEntry& operator[](int32_t slot) { return Entries.at(static_cast<size_t>(slot)); }
    const HighScoreEntry& operator[](int32_t slot) const {
        return Entries.at(static_cast<size_t>(slot));
    }

    /// The table of a first start: "ANONYMOUS" on every rank, rank k scoring
    /// 3300 - 300 * k; the spare empty.
    static HighScoreTable Defaults();

    /// Puts the default rows into slots 1 to 10; the spare is left as it is.
    /// Called at start-up when the signature differs and by "Yes" in the
    /// clear-table window.
    void ResetToDefaults();

    /// True when score beats at least one ranked entry; the spare is not looked at.
    bool Qualifies(int32_t score) const;

    /// Commits a new score: the spare receives (name, score), then the eleven
    /// slots are bubble-sorted best first. Equal scores are never swapped, so the
    /// newcomer ranks below every entry with the same score; afterwards the spare
    /// holds the entry that dropped out. Called when the player confirms the name.
    void Insert(const std::string& name, int32_t score);

    /// The fingerprint of slots 1 to 10: as many bytes as the longest name, each
    /// 32..255. Every name byte and every decimal digit (and minus sign) of every
    /// score folds into the byte at its position; digits beyond the longest
    /// name's length have no byte to fold into and are skipped.
    std::string Signature() const;

    /// True when stored equals Signature() byte for byte.
    bool SignatureMatches(const std::string& stored) const { return stored == Signature(); }
};

} // namespace vantorel

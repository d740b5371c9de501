// The local table of the ten best scores. This is the data model only; reading
// and writing the table file and its signature live beside it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vantorel {

/// One row of the table: the name typed by the player and the score reached.
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

    /// True when score beats at least one ranked entry; the spare is not looked at.
    bool Qualifies(int32_t score) const;
};

} // namespace vantorel

// The player's replays, kept as files in a folder beside the saves: one file a
// game, named game-NNNNNN.vrp with a number that only grows. The folder keeps the
// last games played and the game of every entry of the high-score table; older
// files go.
#pragma once

#include "replay/replay.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantorel {

struct HighScoreTable;

/// One replay file and the end of its game, as read from the file.
struct TStoredReplay {
    std::filesystem::path Path;
    uint32_t Number = 0;
    int32_t Score = 0;
    std::string Name;
};

class TReplayStore {
public:
    /// The games kept besides those of the table's entries.
    static constexpr size_t kRecentGames = 20;
    /// The largest replay file read back.
    static constexpr size_t kMaxFileBytes = size_t{8} << 20;

    explicit TReplayStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& Folder() const { return folder_; }

    /// Writes the replay's bytes as the next game's file, with the save files'
    /// atomic write (creating the folder), and returns its path; nullopt when it
    /// could not be written.
    std::optional<std::filesystem::path> Add(std::span<const uint8_t> bytes);

    /// Every replay file of the folder that reads as a replay, oldest first.
    /// Files that do not read are left alone and not listed.
    std::vector<TStoredReplay> List() const;

    /// Removes the files that are neither among the kRecentGames newest nor the
    /// newest game of an entry of table's ranked slots (same name and score).
    void Prune(const HighScoreTable& table) const;

    /// The newest replay of a game that ended with name and score; nullopt when
    /// none is kept.
    std::optional<std::filesystem::path> Find(const std::string& name, int32_t score) const;

private:
    std::filesystem::path folder_;
};

} // namespace vantorel

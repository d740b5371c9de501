#include "replay/replay_store.hpp"

#include "replay/replay_file.hpp"
#include "storage/atomic_file_set.hpp"
#include "storage/file_bytes.hpp"
#include "storage/high_score_table.hpp"

#include <algorithm>
#include <cstdio>
#include <set>
#include <system_error>

namespace vantorel {

namespace {

/// The number in "game-NNNNNN.vrp"; nullopt for any other name.
std::optional<uint32_t> FileNumber(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    constexpr std::string_view prefix = "game-";
    constexpr std::string_view suffix = ".vrp";
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix))
        return std::nullopt;
    const std::string digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return static_cast<uint32_t>(std::stoul(digits));
}

/// The newest of replays (oldest first) whose game ended with name and score.
const TStoredReplay* Newest(const std::vector<TStoredReplay>& replays, const std::string& name,
                            int32_t score) {
    for (auto r = replays.rbegin(); r != replays.rend(); ++r)
        if (r->Name == name && r->Score == score)
            return &*r;
    return nullptr;
}

} // namespace

std::optional<std::filesystem::path> TReplayStore::Add(std::span<const uint8_t> bytes) {
    uint32_t next = 1;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec))
        if (const auto n = FileNumber(entry.path()))
            next = std::max(next, *n + 1);
    char name[32];
    std::snprintf(name, sizeof name, "game-%06u.vrp", next);
    const std::filesystem::path path = folder_ / name;
    TAtomicFileSet files;
    if (!files.Stage(path, std::string(bytes.begin(), bytes.end())) || !files.Commit())
        return std::nullopt;
    return path;
}

std::vector<TStoredReplay> TReplayStore::List() const {
    std::vector<TStoredReplay> replays;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
        const auto number = FileNumber(entry.path());
        if (!number)
            continue;
        const TFileBytes file = ReadFileBytes(entry.path(), kMaxFileBytes);
        if (file.Status != TFileReadStatus::Read)
            continue;
        try {
            const TReplay r = DecodeReplay(
                {reinterpret_cast<const uint8_t*>(file.Bytes.data()), file.Bytes.size()});
            replays.push_back({entry.path(), *number, r.FinalScore, r.Name});
        } catch (const EReplayFileError&) {
            // Not ours to judge or delete: a damaged file stays for the player.
        }
    }
    std::sort(replays.begin(), replays.end(),
              [](const TStoredReplay& a, const TStoredReplay& b) { return a.Number < b.Number; });
    return replays;
}

void TReplayStore::Prune(const HighScoreTable& table) const {
    const std::vector<TStoredReplay> replays = List();
    std::set<std::filesystem::path> keep;
    for (size_t i = replays.size() > kRecentGames ? replays.size() - kRecentGames : 0;
         i < replays.size(); ++i)
        keep.insert(replays[i].Path);
    for (int32_t slot = 1; slot <= HighScoreTable::Ranked; ++slot)
        if (const TStoredReplay* r = Newest(replays, table[slot].Name, table[slot].Score))
            keep.insert(r->Path);
    for (const TStoredReplay& r : replays)
        if (!keep.contains(r.Path)) {
            std::error_code ec;
            std::filesystem::remove(r.Path, ec);
        }
}

std::optional<std::filesystem::path> TReplayStore::Find(const std::string& name,
                                                        int32_t score) const {
    const std::vector<TStoredReplay> replays = List();
    if (const TStoredReplay* r = Newest(replays, name, score))
        return r->Path;
    return std::nullopt;
}

} // namespace vantorel

// How the stores find a row's world rank and the start of any page without
// counting the rows before it one by one (some 20 ms at a million rows): next
// to the table they keep how many rows fall into each range of scores, on a few
// levels of ever finer ranges. Both stores keep the same counts with their own
// triggers and read them with the SQL written here, which both databases run.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantorel::server {

/// The table scores_tally(level, bucket, n): for each level, a row of score s
/// counts in bucket (s + 2^31) >> level, so a level-L bucket covers 2^L scores
/// and splits into 64 buckets of the next level. A rank then sums at most 64
/// buckets a level and counts the rows of at most 64 scores in the table's
/// ranking index; a page's start is found by walking down the levels.
class TScoreTally {
public:
    /// The levels, coarsest first; each is 6 bits finer than the one before.
    static constexpr std::array<int, 5> kLevels{30, 24, 18, 12, 6};
    static constexpr int kFanOutBits = 6;
    /// Added to a score to make its bucket key: the lowest 32-bit score is key 0.
    static constexpr int64_t kKeyOffset = 2147483648;

    /// The key of a score column (SQL, both databases).
    static std::string KeySql(std::string_view score);

    /// SQL for the world rank of the row named alias (columns score and id),
    /// usable as a select expression in both databases: 1 + the rows before it
    /// in the table's order.
    static std::string RankSql(std::string_view alias);

    /// SQL reading one level's buckets with keys from $2 up to (not including)
    /// $3, highest first, with their counts: SELECT bucket, n ... for level $1.
    static const char* LevelSql();

    /// Reads one level: (bucket, rows in it) for buckets in [from, to), highest
    /// bucket first, as LevelSql gives them.
    using TLevelReader = std::function<std::vector<std::pair<int64_t, int64_t>>(
        int level, int64_t from, int64_t to)>;

    /// Where the row at position first (0 for the best) lies: the highest score
    /// of its finest bucket, and how many rows come before that bucket. The
    /// row is then the (first - Before)-th of those with score <= HighestScore
    /// in the table's order. Nothing when the table has no row at first.
    struct TStart {
        int64_t HighestScore = 0;
        int64_t Before = 0;
    };
    static std::optional<TStart> Locate(int64_t first, const TLevelReader& read);
};

} // namespace vantorel::server

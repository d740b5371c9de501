#include "server/score_tally.hpp"

#include <limits>

namespace vantorel::server {

std::string TScoreTally::KeySql(std::string_view score) {
    return "(" + std::string(score) + " + 2147483648)";
}

std::string TScoreTally::RankSql(std::string_view alias) {
    const std::string a(alias);
    const std::string key = KeySql(a + ".score");
    const auto shifted = [&](int level) {
        return "(" + key + " >> " + std::to_string(level) + ")";
    };
    std::string sql = "CAST(1";
    for (size_t i = 0; i < kLevels.size(); ++i) {
        const int level = kLevels[i];
        // The buckets after the row's own within its parent bucket (the coarsest
        // level has no parent: every bucket after it).
        sql += " + (SELECT coalesce(sum(n), 0) FROM scores_tally WHERE level = " +
               std::to_string(level) + " AND bucket > " + shifted(level);
        if (i > 0)
            sql += " AND bucket < ((" + shifted(kLevels[i - 1]) + " + 1) << " +
                   std::to_string(kFanOutBits) + ")";
        sql += ")";
    }
    // Inside the row's finest bucket: higher scores, and equal ones that came first.
    const std::string highest = "(((" + shifted(kLevels.back()) + " + 1) << " +
                                std::to_string(kLevels.back()) + ") - 1 - 2147483648)";
    sql += " + (SELECT count(*) FROM scores AS ahead WHERE ahead.score >= " + a +
           ".score AND ahead.score <= " + highest + " AND (ahead.score > " + a +
           ".score OR ahead.id < " + a + ".id))";
    return sql + " AS bigint)";
}

const char* TScoreTally::LevelSql() {
    return "SELECT bucket, CAST(sum(n) AS bigint) FROM scores_tally "
           "WHERE level = $1 AND bucket >= $2 AND bucket < $3 "
           "GROUP BY bucket HAVING sum(n) <> 0 ORDER BY bucket DESC";
}

std::optional<TScoreTally::TStart> TScoreTally::Locate(int64_t first, const TLevelReader& read) {
    if (first < 0)
        return std::nullopt;
    int64_t before = 0;
    // The coarsest level is read whole: a hand-edited score past 32 bits still
    // has a bucket there.
    int64_t from = std::numeric_limits<int64_t>::min();
    int64_t to = std::numeric_limits<int64_t>::max();
    int64_t bucket = 0;
    for (const int level : kLevels) {
        bool found = false;
        for (const auto& [b, n] : read(level, from, to)) {
            if (before + n > first) {
                bucket = b;
                found = true;
                break;
            }
            before += n;
        }
        if (!found)
            return std::nullopt;
        from = bucket * (int64_t{1} << kFanOutBits);
        to = (bucket + 1) * (int64_t{1} << kFanOutBits);
    }
    const int64_t highestKey = (bucket + 1) * (int64_t{1} << kLevels.back()) - 1;
    return TStart{highestKey - kKeyOffset, before};
}

} // namespace vantorel::server

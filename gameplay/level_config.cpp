#include "gameplay/level_config.hpp"

#include "state/game_progress.hpp"

#include <algorithm>
#include <climits>
#include <initializer_list>

namespace vantorel {
namespace {

struct TLevelMix {
    std::initializer_list<int32_t> Enemies;
    std::initializer_list<int32_t> Bonuses;
};

// Levels 1 to 7; later levels use the last row.
const TLevelMix kMixes[] = {
    {{0}, {1, 5, 6, 9, 10}},
    {{0, 1}, {1, 2, 5, 6, 7, 9, 10}},
    {{0, 1, 5}, {1, 2, 3, 5, 6, 7, 8, 9, 10}},
    {{0, 1, 2, 5}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    {{0, 1, 2, 5, 6}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    {{0, 1, 2, 3, 5, 6}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    {{0, 1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
};
constexpr int32_t kMixCount = static_cast<int32_t>(std::size(kMixes));

// Bonus indexes above 7 (the double rocket, the mega bomb and the life) are left
// out of the divisor, so they do not thin out the chances of the others.
constexpr int32_t kCountedBonusMax = 7;

} // namespace

TLevelConfig TLevelConfig::ForLevel(int32_t level) {
    const TLevelMix& mix = kMixes[std::clamp(level, 1, kMixCount) - 1];
    TLevelConfig c;
    for (int32_t i : mix.Enemies) {
        c.EnemyEnabled[static_cast<size_t>(i)] = true;
        ++c.EnemyTypeCount;
    }
    for (int32_t i : mix.Bonuses) {
        c.BonusEnabled[static_cast<size_t>(i)] = true;
        if (i <= kCountedBonusMax)
            ++c.BonusTypeCount;
    }
    // The quota cannot overflow however long a game runs.
    c.MonstersLeft = level > INT32_MAX / 10 ? INT32_MAX : 10 * level;
    return c;
}

void TLevelConfig::ApplyTo(TGameProgress& progress) const {
    progress.EnemyEnabled = EnemyEnabled;
    progress.BonusEnabled = BonusEnabled;
    progress.EnemyTypeCount = EnemyTypeCount;
    progress.BonusTypeCount = BonusTypeCount;
    progress.MonstersLeft = MonstersLeft;
}

} // namespace vantorel

// Whether a store's page reads agree with its table, whatever happened to the
// table: the store contract runs them after reports, the store tests after an
// upgrade from an older schema and after rows changed by hand.
#pragma once

#include "server/score_store.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel::server::test_support {

/// Range at every start equals the slice of Top, and each name's search gives
/// each of its rows with the rank it has in Top.
inline void ExpectRankingMatchesTop(IScoreStore& store, const std::string& label) {
    const std::vector<TStoredScore> all = store.Top(100'000);
    ASSERT_EQ(store.Count(), static_cast<int64_t>(all.size())) << label;
    for (size_t first = 0; first <= all.size(); first += 7) {
        const size_t end = std::min(all.size(), first + 10);
        ASSERT_EQ(store.Range(static_cast<int64_t>(first), 10),
                  std::vector<TStoredScore>(all.begin() + static_cast<ptrdiff_t>(first),
                                            all.begin() + static_cast<ptrdiff_t>(end)))
            << label << ": first " << first;
    }
    for (size_t i = 0; i < all.size(); i += 5) {
        bool found = false;
        for (const TRankedScore& hit : store.FindByName(TNamePrefix(all[i].Name), 0, 100'000))
            if (hit.Row.Id == all[i].Id) {
                EXPECT_EQ(hit.Rank, static_cast<int64_t>(i) + 1) << label << ": " << all[i].Name;
                found = true;
            }
        EXPECT_TRUE(found) << label << ": " << all[i].Name << " not found";
    }
}

} // namespace vantorel::server::test_support

#include "storage/high_score_table.hpp"

namespace vantorel {

bool HighScoreTable::Qualifies(int32_t score) const {
    for (int32_t rank = 1; rank <= Ranked; ++rank) {
        if (score > (*this)[rank].Score)
            return true;
    }
    return false;
}

} // namespace vantorel

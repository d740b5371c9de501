#include "storage/high_score_table.hpp"

#include <algorithm>
#include <utility>

namespace vantorel {

namespace {

void Fold(std::string& signature, const std::string& text) {
    const size_t n = std::min(signature.size(), text.size());
    for (size_t j = 0; j < n; ++j) {
        const auto s = static_cast<unsigned char>(signature[j]);
        const auto c = static_cast<unsigned char>(text[j]);
        signature[j] = static_cast<char>((s + c) % 224 + 32);
    }
}

} // namespace

HighScoreTable HighScoreTable::Defaults() {
    HighScoreTable table;
    table.ResetToDefaults();
    return table;
}

void HighScoreTable::ResetToDefaults() {
    for (int32_t rank = 1; rank <= Ranked; ++rank)
        (*this)[rank] = HighScoreEntry{"ANONYMOUS", 3300 - 300 * rank};
}

bool HighScoreTable::Qualifies(int32_t score) const {
    for (int32_t rank = 1; rank <= Ranked; ++rank) {
        if (score > (*this)[rank].Score)
            return true;
    }
    return false;
}

void HighScoreTable::Insert(const std::string& name, int32_t score) {
    (*this)[Spare] = HighScoreEntry{name, score};
    for (int32_t pass = 1; pass <= Ranked; ++pass) {
        for (int32_t i = 1; i <= Spare - pass; ++i) {
            if ((*this)[i].Score < (*this)[i + 1].Score)
                std::swap((*this)[i], (*this)[i + 1]);
        }
    }
}

std::string HighScoreTable::Signature() const {
    size_t longest = 0;
    for (int32_t rank = 1; rank <= Ranked; ++rank)
        longest = std::max(longest, (*this)[rank].Name.size());
    std::string signature(longest, ' ');
    for (int32_t rank = 1; rank <= Ranked; ++rank) {
        Fold(signature, (*this)[rank].Name);
        Fold(signature, std::to_string((*this)[rank].Score));
    }
    return signature;
}

} // namespace vantorel

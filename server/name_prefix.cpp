#include "server/name_prefix.hpp"

#include "base/text_encoding.hpp"

namespace vantorel::server {

TNamePrefix::TNamePrefix(std::string_view cp1252) : from_(Fold(cp1252)) {
    // The smallest text greater than every text starting with from_: the prefix
    // with its last byte that can grow grown by one, the 0xFF bytes after it dropped.
    std::string end = from_;
    while (!end.empty() && static_cast<unsigned char>(end.back()) == 0xFF)
        end.pop_back();
    if (!end.empty()) {
        end.back() = static_cast<char>(static_cast<unsigned char>(end.back()) + 1);
        to_ = std::move(end);
    }
}

std::string TNamePrefix::Fold(std::string_view cp1252) {
    std::string folded(cp1252);
    for (char& c : folded)
        c = static_cast<char>(LowerCp1252(static_cast<unsigned char>(c)));
    return folded;
}

} // namespace vantorel::server

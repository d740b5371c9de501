#include "server/entity_tag.hpp"

#include <cstdint>
#include <cstdio>

namespace vantorel::server {

std::string EntityTagOf(std::string_view body) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : body) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char tag[24];
    std::snprintf(tag, sizeof tag, "\"%016llx\"", static_cast<unsigned long long>(hash));
    return tag;
}

bool IfNoneMatchNames(std::string_view header, std::string_view tag) {
    const auto trim = [](std::string_view text) {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        return text;
    };
    const std::string_view all = trim(header);
    if (all == "*")
        return true;
    // Tags hold no comma ("etagc" excludes it), so the list splits at commas.
    while (!header.empty()) {
        const size_t comma = header.find(',');
        std::string_view one = trim(header.substr(0, comma));
        header = comma == std::string_view::npos ? std::string_view() : header.substr(comma + 1);
        if (one.starts_with("W/"))
            one.remove_prefix(2);
        if (!one.empty() && one == tag)
            return true;
    }
    return false;
}

} // namespace vantorel::server

// A name searched for on the world table page: the player types the start of
// their name, in any case, and every score whose name starts with it is found.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel::server {

/// The folded start of a name and the range of folded names it covers. Names
/// are the game's Windows-1252 text, folded byte by byte with LowerCp1252 (the
/// high-score table's own comparison), so "ace" finds "ACE", "Ace Pilot" and
/// "aceman". The stores keep an index on the folded name and read the range
/// [From, To) from it.
class TNamePrefix {
public:
    /// The prefix of a Windows-1252 text, folded.
    explicit TNamePrefix(std::string_view cp1252);

    /// The folded prefix: the first folded name of the range.
    const std::string& From() const { return from_; }
    /// The first folded name past the range, in byte order; nothing when the
    /// range runs to the end (an empty prefix, or one of 0xFF bytes only).
    const std::optional<std::string>& To() const { return to_; }

    /// A name folded as the stores fold it.
    static std::string Fold(std::string_view cp1252);

private:
    std::string from_;
    std::optional<std::string> to_;
};

} // namespace vantorel::server

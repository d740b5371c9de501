// Reads the game's save files the way they were always read: a line is
// everything up to CR LF (a lone CR or LF ends a line too), and a number is taken
// after skipping blanks and line breaks, the rest of its line then skipped.
// Bytes are taken as they are; no character set is applied.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

class TTextFileReader {
public:
    /// bytes must outlive the reader.
    explicit TTextFileReader(std::string_view bytes) : bytes_(bytes) {}

    /// The next line whole, without its line end, and moves past the line end;
    /// nullopt at the end of the bytes (a file cut short).
    std::optional<std::string> ReadLine();

    /// Skips blanks, tabs and line breaks, reads a decimal int32 (optional sign),
    /// then skips the rest of its line. nullopt when no number ends at a blank, a
    /// line end or the end of the bytes, or when it does not fit 32 bits.
    std::optional<int32_t> ReadIntegerLine();

    bool AtEnd() const { return pos_ >= bytes_.size(); }

private:
    void SkipLineEnd();
    std::string_view bytes_;
    size_t pos_ = 0;
};

} // namespace vantorel

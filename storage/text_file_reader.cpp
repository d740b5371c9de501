#include "storage/text_file_reader.hpp"

#include <charconv>

namespace vantorel {

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

void TTextFileReader::SkipLineEnd() {
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r')
        ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n')
        ++pos_;
}

std::optional<std::string> TTextFileReader::ReadLine() {
    if (AtEnd())
        return std::nullopt;
    const size_t start = pos_;
    while (pos_ < bytes_.size() && !IsLineEnd(bytes_[pos_]))
        ++pos_;
    std::string line(bytes_.substr(start, pos_ - start));
    SkipLineEnd();
    return line;
}

std::optional<int32_t> TTextFileReader::ReadIntegerLine() {
    while (pos_ < bytes_.size() && (IsBlank(bytes_[pos_]) || IsLineEnd(bytes_[pos_])))
        ++pos_;
    size_t end = pos_;
    while (end < bytes_.size() && !IsBlank(bytes_[end]) && !IsLineEnd(bytes_[end]))
        ++end;
    std::string_view token = bytes_.substr(pos_, end - pos_);
    if (token.size() > 1 && token.front() == '+' && token[1] != '-')
        token.remove_prefix(1);
    int32_t value = 0;
    const auto [last, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (token.empty() || error != std::errc{} || last != token.data() + token.size())
        return std::nullopt;
    pos_ = end;
    while (pos_ < bytes_.size() && !IsLineEnd(bytes_[pos_]))
        ++pos_;
    SkipLineEnd();
    return value;
}

} // namespace vantorel

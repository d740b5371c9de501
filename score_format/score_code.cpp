#include "score_format/score_code.hpp"

#include <array>
#include <cstdint>

namespace vantorel {

namespace {

constexpr std::array<int8_t, 256> MakeValues() {
    std::array<int8_t, 256> values{};
    values.fill(-1);
    for (size_t i = 0; i < kScoreAlphabet.size(); ++i)
        values[static_cast<unsigned char>(kScoreAlphabet[i])] = static_cast<int8_t>(i);
    return values;
}

constexpr std::array<int8_t, 256> kValues = MakeValues();

static_assert(kScoreAlphabet.size() == 32);
static_assert(kScoreKey >= 'A' && kScoreKey <= 'Z');
constexpr bool AlphabetIsValid() {
    for (size_t i = 0; i < kScoreAlphabet.size(); ++i) {
        const char c = kScoreAlphabet[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
        if (kValues[static_cast<unsigned char>(c)] != static_cast<int8_t>(i))
            return false; // a character that appears twice
    }
    return true;
}
static_assert(AlphabetIsValid(), "the alphabet needs 32 distinct letters and digits");

} // namespace

std::string EncodeScoreCode(std::string_view bytes) {
    const size_t bits = bytes.size() * 8;
    std::string code;
    code.reserve((bits + 4) / 5);
    // Zero bits in front when the bit count is not a multiple of five.
    uint32_t buffer = 0;
    size_t buffered = (5 - bits % 5) % 5;
    for (const char c : bytes) {
        buffer = (buffer << 8) | static_cast<unsigned char>(c);
        buffered += 8;
        while (buffered >= 5) {
            buffered -= 5;
            code.push_back(kScoreAlphabet[(buffer >> buffered) & 31u]);
        }
        buffer &= (1u << buffered) - 1u;
    }
    return code;
}

std::optional<std::string> DecodeScoreCode(std::string_view code) {
    if (code.empty() || code.size() % 8 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(code.size() / 8 * 5);
    uint32_t buffer = 0;
    int buffered = 0;
    for (const char c : code) {
        const int8_t value = kValues[static_cast<unsigned char>(c)];
        if (value < 0)
            return std::nullopt;
        buffer = (buffer << 5) | static_cast<uint32_t>(value);
        buffered += 5;
        if (buffered >= 8) {
            buffered -= 8;
            bytes.push_back(static_cast<char>((buffer >> buffered) & 0xFFu));
            buffer &= (1u << buffered) - 1u;
        }
    }
    return bytes;
}

} // namespace vantorel

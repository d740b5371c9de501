#include "score_format/score_report.hpp"

#include "score_format/score_code.hpp"

#include <algorithm>
#include <charconv>

namespace vantorel {

namespace {

constexpr std::string_view kHead = "type=0|name=";
constexpr std::string_view kScoreField = "|score=";
constexpr std::string_view kKeyField = "|key=";
constexpr std::string_view kMiddleTail = "|p=|add=";
constexpr std::string_view kFillerField = "|z=";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The score at the start of text, written as std::to_string writes an int32;
/// its length, or 0 when there is none.
size_t ScoreLength(std::string_view text, int32_t& score) {
    size_t n = (!text.empty() && text[0] == '-') ? 1 : 0;
    while (n < text.size() && IsDigit(text[n]))
        ++n;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + n, score);
    if (ec != std::errc() || end != text.data() + n)
        return 0;
    if (std::to_string(score) != text.substr(0, n))
        return 0; // "007", "-0" or "+1": not as the game writes scores
    return n;
}

TScoreReportDecoding Refuse(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

std::string BuildScorePayload(const TScoreReport& report) {
    std::string payload;
    payload.append(kHead).append(report.Name);
    payload.append(kScoreField).append(std::to_string(report.Score));
    payload.append(kKeyField).push_back(kScoreKey);
    payload.append(kMiddleTail).append(report.Add);
    payload.append(kFillerField);
    while (payload.size() % 5 != 0)
        payload.push_back('0');
    return payload;
}

std::string EncodeScoreReport(const TScoreReport& report) {
    return EncodeScoreCode(BuildScorePayload(report));
}

TScoreReportDecoding DecodeScoreReport(std::string_view code) {
    if (code.empty() || code.size() % 8 != 0)
        return Refuse("length is not a whole number of 8-character groups");
    const std::optional<std::string> decoded = DecodeScoreCode(code);
    if (!decoded)
        return Refuse("character outside the alphabet");
    const std::string_view payload = *decoded;
    if (!payload.starts_with(kHead))
        return Refuse("does not start with type=0|name=");

    // The filler: the last "|z=" is followed by zeros only, exactly as many as
    // the length needs.
    const size_t fillerAt = payload.rfind(kFillerField);
    if (fillerAt == std::string_view::npos || fillerAt < kHead.size())
        return Refuse("z field missing");
    const std::string_view zeros = payload.substr(fillerAt + kFillerField.size());
    const size_t unfilled = fillerAt + kFillerField.size();
    if (!std::all_of(zeros.begin(), zeros.end(), [](char c) { return c == '0'; }) ||
        zeros.size() != (5 - unfilled % 5) % 5)
        return Refuse("wrong filler after z");

    // Name up to the first "|score=<n>|key=<K>|p=|add=", add up to the filler.
    const std::string_view body = payload.substr(kHead.size(), fillerAt - kHead.size());
    for (size_t at = body.find(kScoreField); at != std::string_view::npos;
         at = body.find(kScoreField, at + 1)) {
        std::string_view rest = body.substr(at + kScoreField.size());
        TScoreReport report;
        const size_t scoreLength = ScoreLength(rest, report.Score);
        if (scoreLength == 0)
            continue;
        rest.remove_prefix(scoreLength);
        if (!rest.starts_with(kKeyField) || rest.size() < kKeyField.size() + 1)
            continue;
        const char key = rest[kKeyField.size()];
        rest.remove_prefix(kKeyField.size() + 1);
        if (!rest.starts_with(kMiddleTail))
            continue;
        if (key != kScoreKey)
            return Refuse("wrong key");
        report.Name = std::string(body.substr(0, at));
        report.Add = std::string(rest.substr(kMiddleTail.size()));
        return {std::move(report), {}};
    }
    return Refuse("fields missing or out of order");
}

} // namespace vantorel

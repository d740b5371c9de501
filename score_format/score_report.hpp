// The score report: the player's name, the final score and the add text, packed
// into one payload, encoded with the score code and sent as the query of one
// HTTP GET to the score server (storage/score_request.hpp). The score server
// decodes it with DecodeScoreReport. This part needs nothing but base/, so the
// server builds it without the desktop libraries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

/// The fields a report carries. Texts are the game's single-byte text, sent
/// byte for byte.
struct TScoreReport {
    std::string Name;
    int32_t Score = 0;
    std::string Add;

    bool operator==(const TScoreReport&) const = default;
};

/// "type=0|name=N|score=S|key=K|p=|add=A|z=" followed by the "0" characters
/// that make its length a multiple of five (none to four).
std::string BuildScorePayload(const TScoreReport& report);

/// The encoded payload: 8 characters of the score alphabet per 5 payload bytes.
std::string EncodeScoreReport(const TScoreReport& report);

/// What the score server gets back from a code: the fields, or why the code is
/// refused.
struct TScoreReportDecoding {
    std::optional<TScoreReport> Report;
    std::string Error; ///< empty when Report is set
};

/// Checks a code and returns its fields: the length (8k characters), the
/// alphabet, the field order ("type=0", name, score, key, p, add, z), the score
/// as a 32-bit decimal number written as the game writes it, the key letter, an
/// empty p and the filler of exactly the zeros the length needs. A name holding
/// "|score=" followed by a whole valid middle part is split at its first such
/// place, as the payload format cannot tell otherwise.
TScoreReportDecoding DecodeScoreReport(std::string_view code);

} // namespace vantorel

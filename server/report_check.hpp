// What the server accepts as a score report: the game's own decoder, then the
// rules the game's editors hold the texts to.
#pragma once

#include "score_format/score_report.hpp"

#include <cstddef>
#include <string_view>

namespace vantorel::server {

/// The longest code accepted, in characters. The longest report the game can
/// make (12-character name and add text, an 11-character score) is 80 bytes of
/// payload, 128 characters of code.
inline constexpr size_t kMaxReportCodeLength = 512;

/// Decodes a report's code (the inf parameter) with DecodeScoreReport and then
/// holds its texts to the game's rules: a name of at most TNameEditor::MaxLength
/// characters the name editor accepts (letters, digits, space; empty when the
/// player typed nothing), an add text of at
/// most MaxLength characters that the options loader keeps (the same, and "_" of
/// the default add text). So no markup, no separator and no byte above 127 is
/// ever stored from a report. Error says why a code is refused.
TScoreReportDecoding CheckScoreReport(std::string_view code);

} // namespace vantorel::server

#include "server/report_check.hpp"

#include "score_format/name_editor.hpp"

#include <algorithm>

namespace vantorel::server {

namespace {

bool IsNameText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), TNameEditor::IsAccepted);
}

bool IsAddText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), TNameEditor::IsKeptOnLoad);
}

TScoreReportDecoding Refuse(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

TScoreReportDecoding CheckScoreReport(std::string_view code) {
    if (code.empty())
        return Refuse("empty code");
    if (code.size() > kMaxReportCodeLength)
        return Refuse("code too long");
    TScoreReportDecoding decoded = DecodeScoreReport(code);
    if (!decoded.Report)
        return decoded;
    const TScoreReport& report = *decoded.Report;
    // An empty name is the game's own: its name entry commits one when the
    // player types nothing.
    if (report.Name.size() > TNameEditor::MaxLength)
        return Refuse("name too long");
    if (!IsNameText(report.Name))
        return Refuse("name holds a character the game does not type");
    if (report.Add.size() > TNameEditor::MaxLength)
        return Refuse("add text too long");
    if (!IsAddText(report.Add))
        return Refuse("add text holds a character the game does not type");
    return decoded;
}

} // namespace vantorel::server

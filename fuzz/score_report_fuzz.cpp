// Feeds arbitrary codes to the score server's report check: the game's decoder
// and then the editor's rules for the texts. Whatever arrives in the inf
// parameter must end in a report or a refusal, never in a crash. And:
//  - a report the decoder accepts is exactly what the game's encoder makes of
//    it again: nothing in the code was skipped, guessed or read twice;
//  - a report the server accepts has a name of at most 12 characters the name
//    editor takes (empty when the player typed none) and an add text of at most
//    12 the options keep, so nothing else is ever stored or shown;
//  - the server accepts nothing the decoder refuses, and reads the same fields.
//
// An input starting with "|" is a payload instead: the rest is encoded with the
// game's alphabet first, so the fuzzer also reaches the field parsing without
// having to find codes that decode. Any other input is the code itself.
#include "score_format/name_editor.hpp"
#include "score_format/score_code.hpp"
#include "score_format/score_report.hpp"
#include "server/report_check.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace vantorel;

void Fail(const char* what, std::string_view code) {
    std::fprintf(stderr, "score report property broken: %s\ncode: %.*s\n", what,
                 static_cast<int>(code.size()), code.data());
    std::abort();
}

void Check(std::string_view code) {
    const TScoreReportDecoding decoded = DecodeScoreReport(code);
    if (decoded.Report.has_value() == !decoded.Error.empty())
        Fail("the decoder gives a report and an error, or neither", code);
    if (decoded.Report && EncodeScoreReport(*decoded.Report) != code)
        Fail("an accepted code does not encode back to itself", code);

    const TScoreReportDecoding checked = server::CheckScoreReport(code);
    if (checked.Report.has_value() == !checked.Error.empty())
        Fail("the check gives a report and an error, or neither", code);
    if (!checked.Report)
        return;
    if (!decoded.Report || *decoded.Report != *checked.Report)
        Fail("the check accepts what the decoder refuses or reads it otherwise", code);
    const TScoreReport& report = *checked.Report;
    if (report.Name.size() > TNameEditor::MaxLength ||
        !std::all_of(report.Name.begin(), report.Name.end(), TNameEditor::IsAccepted))
        Fail("an accepted name breaks the name editor's rules", code);
    if (report.Add.size() > TNameEditor::MaxLength ||
        !std::all_of(report.Add.begin(), report.Add.end(), TNameEditor::IsKeptOnLoad))
        Fail("an accepted add text breaks the options' rules", code);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (!input.empty() && input.front() == '|')
        Check(EncodeScoreCode(input.substr(1)));
    else
        Check(input);
    return 0;
}

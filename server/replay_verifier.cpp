#include "server/replay_verifier.hpp"

#include "server/report_check.hpp"

#include "base/text_encoding.hpp"
#include "score_format/score_report.hpp"

#include <nlohmann/json.hpp>

#include <signal.h>

#include <limits>
#include <optional>
#include <stdexcept>

namespace vantorel::server {

namespace {

constexpr size_t kMaxReasonLength = 300;

/// The first line of text, printable ASCII only (others as '?'), cut short.
std::string ReasonLine(std::string_view text) {
    std::string line;
    for (const char c : text.substr(0, text.find('\n'))) {
        if (line.size() >= kMaxReasonLength)
            break;
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            continue;
        line += byte >= 0x20 && byte < 0x7F ? c : '?';
    }
    return line;
}

TReplayVerdict Refusal(std::string outcome, std::string reason) {
    TReplayVerdict verdict;
    verdict.Outcome = std::move(outcome);
    verdict.Reason = ReasonLine(reason);
    return verdict;
}

/// UTF-8 text as Windows-1252; nothing when a character has no such form.
std::optional<std::string> Cp1252Of(const std::string& utf8) {
    std::string out;
    for (size_t at = 0; at < utf8.size();) {
        const std::optional<char32_t> code = DecodeUtf8(utf8, at);
        if (!code)
            return std::nullopt;
        const std::optional<uint8_t> byte = CodePointToCp1252(*code);
        if (!byte)
            return std::nullopt;
        out += static_cast<char>(*byte);
    }
    return out;
}

/// The game the verifier's line names, or why the line is not one.
TReplayVerdict GameOf(const std::string& output) {
    const size_t end = output.find('\n');
    if (end != std::string::npos && output.find_first_not_of(" \t\r\n", end) != std::string::npos)
        return Refusal("bad_output", "the verifier printed more than one line");
    const auto json = nlohmann::json::parse(output.substr(0, end), nullptr, false);
    if (json.is_discarded() || !json.is_object())
        return Refusal("bad_output", "the verifier's output is not a JSON object");
    const auto score = json.find("score");
    const auto name = json.find("name");
    const auto add = json.find("add_text");
    if (score == json.end() || !score->is_number_integer() || name == json.end() ||
        !name->is_string() || add == json.end() || !add->is_string())
        return Refusal("bad_output", "the verifier's output lacks score, name or add_text");
    const auto value = score->get<int64_t>();
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return Refusal("bad_output", "the score is out of range");
    const std::optional<std::string> nameText = Cp1252Of(name->get<std::string>());
    const std::optional<std::string> addText = Cp1252Of(add->get<std::string>());
    if (!nameText || !addText)
        return Refusal("bad_output", "a text the game cannot type");
    // The same rules as a report's texts: what a report could not store, a
    // replay cannot either.
    const TScoreReport report{*nameText, static_cast<int32_t>(value), *addText};
    const TScoreReportDecoding checked = CheckScoreReport(EncodeScoreReport(report));
    if (!checked.Report)
        return Refusal("bad_output",
                       "the name or add text breaks the game's rules: " + checked.Error);
    TReplayVerdict verdict;
    verdict.Verified = true;
    verdict.Outcome = "verified";
    verdict.Name = checked.Report->Name;
    verdict.Score = checked.Report->Score;
    verdict.Add = checked.Report->Add;
    return verdict;
}

std::string WhyOf(const TVerifierRun& run, const std::string& fallback) {
    const std::string line = ReasonLine(run.Error);
    return line.empty() ? fallback : line;
}

} // namespace

TReplayVerdict VerdictOf(const TVerifierRun& run) {
    using EEnd = TVerifierRun::EEnd;
    switch (run.End) {
    case EEnd::NotStarted: {
        TReplayVerdict verdict =
            Refusal("verifier_error", "cannot start the verifier: " + run.Error);
        verdict.Retry = true;
        return verdict;
    }
    case EEnd::Stopped:
    case EEnd::TimedOut:
        return Refusal("timed_out", "the verifier ran past its time and was stopped");
    case EEnd::OutputTooLong:
        return Refusal("output_too_long", "the verifier printed too much and was stopped");
    case EEnd::Signalled:
        if (run.Signal == SIGXCPU || run.Signal == SIGKILL)
            return Refusal("cpu_limit", "the verifier used up its CPU time");
        return Refusal("crashed", "the verifier ended by signal " + std::to_string(run.Signal));
    case EEnd::Exited:
        break;
    }
    if (run.ExitCode == 0)
        return GameOf(run.Output);
    if (run.ExitCode == 2)
        return Refusal("refused", WhyOf(run, "refused without a reason"));
    if (run.ExitCode == 1 || run.ExitCode == 127) {
        TReplayVerdict verdict =
            Refusal("verifier_error", WhyOf(run, "exit status " + std::to_string(run.ExitCode)));
        verdict.Retry = true;
        return verdict;
    }
    return Refusal("bad_output", "exit status " + std::to_string(run.ExitCode) + ": " +
                                     WhyOf(run, "no reason given"));
}

TReplayVerdict TReplayVerifier::Verify(const std::string& bytes) const {
    const TVerifierRun run = RunVerifierProcess(command_, bytes, &stopping_);
    if (run.End == TVerifierRun::EEnd::Stopped || stopping_)
        throw std::runtime_error("the server stops: the replay is left queued");
    return VerdictOf(run);
}

} // namespace vantorel::server

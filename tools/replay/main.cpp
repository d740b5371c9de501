// vantorel-replay: looks into a replay file and checks it by playing it back.
//
//   vantorel-replay info FILE            the replay's header and trailer
//   vantorel-replay verify [--json] FILE plays the game again with no display
//                                        and no sound, checking every state hash
//
// verify prints "score N level L frames F" (or, with --json, one JSON object with
// the score, level, frames, name and add text) and exits 0 when the game plays
// back to its own end. A replay it refuses (not a replay, other rules or data, a
// state or an end that differs) exits 2 with the reason, naming the first frame
// that differs, on stderr. A file that cannot be read, or game data that cannot
// be found, exits 1. It reads the game's data as the game does ($VANTOREL_DATA,
// or the data installed with the game).
#include "app/main_window.hpp"
#include "app/replay_playback.hpp"
#include "base/text_encoding.hpp"
#include "common/common_options.hpp"
#include "platform/headless_desktop.hpp"
#include "platform/sdl_system.hpp"
#include "replay/replay_file.hpp"
#include "storage/file_bytes.hpp"
#include "storage/game_paths.hpp"

#include <nlohmann/json.hpp>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

using namespace vantorel;

constexpr const char* kName = "vantorel-replay";
constexpr const char* kUsage = "usage: vantorel-replay info FILE\n"
                               "       vantorel-replay verify [--json] FILE\n";

constexpr int kExitRefused = 2;
constexpr int kExitCannotRun = 1;
/// The largest file looked at: a long game takes a few tens of KiB.
constexpr size_t kMaxFileBytes = size_t{4} << 20;

struct TLoaded {
    TReplay Replay;
    size_t Bytes = 0;
};

/// The replay in file, or the exit status after saying why not.
std::variant<TLoaded, int> Load(const std::string& file) {
    const TFileBytes read = ReadFileBytes(file, kMaxFileBytes);
    if (read.Status == TFileReadStatus::Missing) {
        std::fprintf(stderr, "%s: no file \"%s\"\n", kName, file.c_str());
        return kExitCannotRun;
    }
    if (read.Status != TFileReadStatus::Read) {
        std::fprintf(stderr, "%s: \"%s\" cannot be read or is larger than %zu bytes\n", kName,
                     file.c_str(), kMaxFileBytes);
        return kExitRefused;
    }
    try {
        return TLoaded{
            DecodeReplay({reinterpret_cast<const uint8_t*>(read.Bytes.data()), read.Bytes.size()}),
            read.Bytes.size()};
    } catch (const EReplayFileError& e) {
        std::fprintf(stderr, "%s: %s\n", kName, e.what());
        return kExitRefused;
    }
}

int Info(const std::string& file) {
    auto loaded = Load(file);
    if (const int* status = std::get_if<int>(&loaded))
        return *status;
    const TLoaded& l = std::get<TLoaded>(loaded);
    const TReplay& r = l.Replay;
    std::printf("file %s (%zu bytes)\n", file.c_str(), l.Bytes);
    std::printf("format %u, rules %u, data hash %016" PRIx64 ", seed %u\n", kReplayFormatVersion,
                r.RulesVersion, r.DataHash, r.Seed);
    std::printf("frames %u (%.1f s), %zu frame-rate runs, %zu input runs, %zu state hashes\n",
                r.FrameCount, ReplaySeconds(r), r.FrameRates.size(), r.Inputs.size(),
                r.StateHashes.size());
    std::printf("score %d level %d\n", r.FinalScore, r.FinalLevel);
    std::printf("name \"%s\" add text \"%s\"\n", Cp1252ToUtf8(r.Name).c_str(),
                Cp1252ToUtf8(r.AddText).c_str());
    return EXIT_SUCCESS;
}

int Verify(const std::string& file, bool json) {
    auto loaded = Load(file);
    if (const int* status = std::get_if<int>(&loaded))
        return *status;
    const TReplay& replay = std::get<TLoaded>(loaded).Replay;

    TGamePaths paths = TGamePaths::InWorkingFolder();
    try {
        paths = TGamePaths::Find(TPathEnvironment::Current(ProgramFolder()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", kName, e.what());
        return kExitCannotRun;
    }
    THeadlessDesktop desktop;
    TMForm form(desktop.Services(), 1, paths);
    form.RecordGames = false;
    form.DrawFrames = false;
    if (!form.FormCreate()) {
        for (const std::string& e : desktop.Errors)
            std::fprintf(stderr, "%s: %s\n", kName, e.c_str());
        return kExitCannotRun;
    }
    if (replay.FrameCount == 0) {
        std::fprintf(stderr, "%s: the replay holds no frames\n", kName);
        return kExitRefused;
    }
    TReplayPlayback playback(form, replay);
    try {
        while (playback.Step()) {
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: refused: frame %u: the game stopped: %s\n", kName,
                     playback.FramesPlayed() + 1, e.what());
        return kExitRefused;
    }
    if (playback.Failure()) {
        std::fprintf(stderr, "%s: refused: %s\n", kName, playback.Failure()->c_str());
        return kExitRefused;
    }
    if (json) {
        const nlohmann::json out = {{"score", replay.FinalScore},
                                    {"level", replay.FinalLevel},
                                    {"frames", replay.FrameCount},
                                    {"name", Cp1252ToUtf8(replay.Name)},
                                    {"add_text", Cp1252ToUtf8(replay.AddText)}};
        std::printf("%s\n", out.dump().c_str());
    } else {
        std::printf("score %d level %d frames %u\n", replay.FinalScore, replay.FinalLevel,
                    replay.FrameCount);
    }
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    // --json is verify's own; every other option is answered by the common ones.
    std::vector<char*> args(argv, argv + argc);
    bool json = false;
    std::erase_if(args, [&json](const char* a) {
        const bool j = std::string_view(a) == "--json";
        json = json || j;
        return j;
    });
    if (auto done = vantorel::tools::AnswerCommonOptions(static_cast<int>(args.size()), args.data(),
                                                         kName, kUsage))
        return *done;
    if (args.size() != 3)
        return vantorel::tools::UsageError(kUsage);
    const std::string command = args[1];
    const std::string file = args[2];
    try {
        if (command == "info" && !json)
            return Info(file);
        if (command == "verify")
            return Verify(file, json);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", kName, e.what());
        return kExitCannotRun;
    }
    return vantorel::tools::UsageError(kUsage);
}

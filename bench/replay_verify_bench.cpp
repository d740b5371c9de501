// How fast a replay is checked: each replay file given is played back headless
// (no drawing, no sound), as `vantorel-replay verify` does, and the time the
// playback took is set against the time the game took to play. Prints, per file
// and in total, the frames, the game's seconds, the playback's seconds and their
// ratio, and the start-up (reading the game's data) apart; then the process's
// peak memory. Run it where Data/ is (the build folder), or set VANTOREL_DATA.
//
//   replay_verify_bench FILE...
#include "app/main_window.hpp"
#include "app/replay_playback.hpp"
#include "platform/headless_desktop.hpp"
#include "replay/replay_file.hpp"
#include "storage/file_bytes.hpp"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace vantorel;
using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("Usage: replay_verify_bench FILE...\n", stderr);
        return 2;
    }
    THeadlessDesktop desktop;
    double totalGame = 0, totalPlay = 0;
    uint64_t totalFrames = 0;
    bool failed = false;
    for (int i = 1; i < argc; ++i) {
        const TFileBytes file = ReadFileBytes(argv[i], size_t{4} << 20);
        if (file.Status != TFileReadStatus::Read) {
            std::fprintf(stderr, "%s: cannot be read\n", argv[i]);
            return 1;
        }
        const TReplay replay =
            DecodeReplay({reinterpret_cast<const uint8_t*>(file.Bytes.data()), file.Bytes.size()});
        const TClock::time_point created = TClock::now();
        TMForm form(desktop.Services(), 1);
        form.RecordGames = false;
        form.DrawFrames = false;
        if (!form.FormCreate()) {
            for (const std::string& e : desktop.Errors)
                std::fprintf(stderr, "%s\n", e.c_str());
            return 1;
        }
        const double startup = SecondsSince(created);
        const TClock::time_point start = TClock::now();
        TReplayPlayback playback(form, replay);
        while (playback.Step()) {
        }
        const double played = SecondsSince(start);
        const double game = ReplaySeconds(replay);
        std::printf("%s: %u frames, game %.1f s, playback %.3f s: %.0fx real time (start-up "
                    "%.3f s)%s\n",
                    argv[i], replay.FrameCount, game, played, game / played, startup,
                    playback.Failure() ? " REFUSED" : "");
        failed = failed || playback.Failure().has_value();
        totalGame += game;
        totalPlay += played;
        totalFrames += replay.FrameCount;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("all: %llu frames, game %.1f s, playback %.3f s: %.0fx real time, %.1f us a "
                "frame; peak memory %ld MB\n",
                static_cast<unsigned long long>(totalFrames), totalGame, totalPlay,
                totalGame / totalPlay, totalPlay * 1e6 / static_cast<double>(totalFrames),
                usage.ru_maxrss / 1024);
    return failed ? EXIT_FAILURE : EXIT_SUCCESS;
}

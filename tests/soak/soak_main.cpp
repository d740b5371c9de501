// vantorel_soak [FRAMES [SEED]]: plays FRAMES frames (default 200000) of random
// input and fails on the first broken pool invariant. Run it in the build
// directory, where Data/ is.
#include "soak/soak.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const long long frames = argc > 1 ? std::atoll(argv[1]) : 200000;
    const auto seed = static_cast<uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1);
    const auto r = vantorel::testing::RunSoak(frames, seed);
    std::printf("soak: %lld frames, %d games, %d sessions, highest level %d, best score %d\n",
                static_cast<long long>(r.Frames), r.Games, r.Sessions, r.HighestLevel, r.BestScore);
    for (const std::string& f : r.Failures)
        std::printf("  %s\n", f.c_str());
    return r.Failures.empty() && r.Frames >= frames ? EXIT_SUCCESS : EXIT_FAILURE;
}

// vantorel-sfxgen PATCH OUT.wav: renders one sound-effect patch to a 16-bit mono WAV.
#include "tools/common/common_options.hpp"
#include "tools/sfxgen/synth.hpp"

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* kUsage = "usage: vantorel-sfxgen PATCH OUT.wav\n";

} // namespace

int main(int argc, char** argv) {
    if (const auto done =
            vantorel::tools::AnswerCommonOptions(argc, argv, "vantorel-sfxgen", kUsage))
        return *done;
    if (argc != 3)
        return vantorel::tools::UsageError(kUsage);
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in)
            throw std::runtime_error(std::string("cannot open ") + argv[1]);
        std::ostringstream text;
        text << in.rdbuf();
        const auto patch = vantorel::sfx::ParsePatch(text.str());
        const auto wave = vantorel::sfx::MakeWave(
            vantorel::sfx::ToPcm16(vantorel::sfx::Render(patch)), patch.SampleRate);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(wave.data()),
                  static_cast<std::streamsize>(wave.size()));
        if (!out)
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantorel-sfxgen: %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}

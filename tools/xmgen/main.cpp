// vantorel-xmgen menu|race OUT.xm: composes one of the game's music modules.
#include "tools/common/common_options.hpp"
#include "tools/xmgen/song.hpp"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace {

constexpr const char* kUsage = "usage: vantorel-xmgen menu|race OUT.xm\n";

} // namespace

int main(int argc, char** argv) {
    if (const auto done =
            vantorel::tools::AnswerCommonOptions(argc, argv, "vantorel-xmgen", kUsage))
        return *done;
    const std::string which = argc == 3 ? argv[1] : "";
    if (which != "menu" && which != "race")
        return vantorel::tools::UsageError(kUsage);
    try {
        const auto song = which == "menu" ? vantorel::xm::MenuSong() : vantorel::xm::RaceSong();
        const auto bytes = vantorel::xm::WriteXm(vantorel::xm::Arrange(song));
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantorel-xmgen: %s: %s\n", which.c_str(), e.what());
        return 1;
    }
    return 0;
}

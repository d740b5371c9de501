// vantorel-xmgen menu|race OUT.xm: composes one of the game's music modules.
#include "tools/xmgen/song.hpp"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const std::string which = argc == 3 ? argv[1] : "";
    if (which != "menu" && which != "race") {
        std::fprintf(stderr, "usage: vantorel-xmgen menu|race OUT.xm\n");
        return 2;
    }
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

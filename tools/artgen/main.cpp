// vantorel-artgen: paints the procedural pictures of the world library.
//
//   vantorel-artgen picture NAME OUT.png   one picture, all its patterns laid out row by row
//   vantorel-artgen list                   NAME WIDTHxHEIGHT PATTERNS per line
//
// Output depends on nothing but the program: fixed seeds, our own noise.
#include "tools/artgen/catalogue.hpp"
#include "tools/common/common_options.hpp"

#include <cstdio>
#include <exception>
#include <string>

using namespace vantorel::artgen;

namespace {

constexpr const char* kUsage = "usage: vantorel-artgen picture NAME OUT.png\n"
                               "       vantorel-artgen list\n";

} // namespace

int main(int argc, char** argv) {
    if (const auto done =
            vantorel::tools::AnswerCommonOptions(argc, argv, "vantorel-artgen", kUsage))
        return *done;
    if (argc < 2)
        return vantorel::tools::UsageError(kUsage);
    const std::string command = argv[1];
    try {
        if (command == "list" && argc == 2) {
            for (const TProceduralPicture& p : Catalogue())
                std::printf("%s\t%dx%d\t%d\n", p.Name.c_str(), p.PatternWidth, p.PatternHeight,
                            p.Patterns);
            return 0;
        }
        if (command == "picture" && argc == 4) {
            const TProceduralPicture* p = FindPicture(argv[2]);
            if (!p) {
                std::fprintf(stderr, "vantorel-artgen: no procedural picture '%s'\n", argv[2]);
                return 1;
            }
            WritePng(p->Make(), argv[3], p->Opaque);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantorel-artgen: %s\n", e.what());
        return 1;
    }
    return vantorel::tools::UsageError(kUsage);
}

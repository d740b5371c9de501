// The options every tool answers the same way, before its own commands:
//
//   --help      the usage on stdout, exit 0
//   --version   "vantorel-NAME 2.0" (the project's version), exit 0
//   -x, --xyz   any other option: the usage on stderr, exit 2
//
// An argument is an option when it starts with '-' and is longer than that; name a
// file starting with '-' as ./-file.
#pragma once

#include <cstdio>
#include <optional>
#include <string_view>

#ifndef VANTOREL_VERSION
#error "VANTOREL_VERSION comes from the build (tools/CMakeLists.txt)"
#endif

namespace vantorel::tools {

/// The usage on stderr for a command line the tool cannot run; returns exit status 2.
inline int UsageError(const char* usage) {
    std::fputs(usage, stderr);
    return 2;
}

/// Answers --help, --version and unknown options anywhere on the command line.
/// Returns the exit status when the tool is done, nothing when it should go on.
inline std::optional<int> AnswerCommonOptions(int argc, char** argv, const char* name,
                                              const char* usage) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            std::printf("       %s --help | --version\n", name);
            return 0;
        }
        if (arg == "--version") {
            std::printf("%s %s\n", name, VANTOREL_VERSION);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.size() > 1 && arg.front() == '-') {
            std::fprintf(stderr, "%s: unknown option '%s'\n", name, argv[i]);
            return UsageError(usage);
        }
    }
    return std::nullopt;
}

} // namespace vantorel::tools

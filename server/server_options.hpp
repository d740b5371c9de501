// The command line of vantorel-scored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantorel::server {

struct TServerOptions {
    std::string Host = "127.0.0.1";
    int Port = 8080;                                 ///< 0: any free port
    std::string Database = "vantorel-scores.sqlite"; ///< SQLite path or PostgreSQL connection
    uint32_t RatePerMinute = 30;                     ///< reports per address per minute, 0: none
    size_t Threads = 16;                             ///< requests handled at once
    bool Help = false;
};

struct TServerOptionsParse {
    std::optional<TServerOptions> Options;
    std::string Error; ///< one line naming the option at fault, when Options is empty
};

/// Parses the arguments after the program name: --listen HOST:PORT (a name or
/// IPv4 address, or [IPv6]:PORT; port 0 to 65535), --database D, --rate N,
/// --threads N (1 to 256), --help. "--option=value" works as well.
TServerOptionsParse ParseServerOptions(const std::vector<std::string>& args);

/// The --help text.
std::string ServerUsage();

} // namespace vantorel::server

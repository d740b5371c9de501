// The command line and the config file of vantorel-scored.
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
    std::vector<std::string> TrustedProxies; ///< peers whose X-Forwarded-For names the client
    bool JsonLog = false;                    ///< --log-format json
    size_t ConnectionsPerAddress = 32;       ///< open at once from one address
    size_t MaxConnections = 10000;           ///< open at once from everybody
    std::string Config;                      ///< the file read by --config, if any
    std::string ReplayVerifier; ///< --replay-verifier PATH: replays are taken only with one
    std::string ReplayData;     ///< --replay-data DIR: the game's data folder for the verifier
    std::string Backup;         ///< --backup FILE: copy the SQLite database there, then exit
    bool Help = false;
    bool Version = false;
};

struct TServerOptionsParse {
    std::optional<TServerOptions> Options;
    std::string Error; ///< one line naming the option at fault, when Options is empty
};

/// Parses the arguments after the program name: --listen HOST:PORT (a name or
/// IPv4 address, or [IPv6]:PORT; port 0 to 65535), --database D, --rate N,
/// --threads N (1 to 256), --trusted-proxy ADDR (repeatable), --log-format
/// line|json, --connections-per-address N, --max-connections N, --config FILE,
/// --replay-verifier PATH, --replay-data DIR, --help, --version. "--option=value"
/// works as well; a shortened name, a word that is no option and "--" are
/// mistakes. The config file is read first, so that every option given on the
/// command line wins over its line, wherever it stands. Reads with getopt_long,
/// whose state is global: call it from one thread at a time.
TServerOptionsParse ParseServerOptions(const std::vector<std::string>& args);

/// Applies the text of a config file to options: one "key = value" a line with the
/// keys listen, database, rate, threads, trusted-proxy (one address a line, as
/// often as needed), log-format, connections-per-address, max-connections,
/// replay-verifier and replay-data
/// (values as for the options of the same name); blank lines and lines starting with # are skipped.
/// Returns "" or one line "FILE:LINE: ..." naming the line at fault.
std::string ApplyServerConfig(const std::string& text, const std::string& file,
                              TServerOptions& options);

/// The --help text.
std::string ServerUsage();

} // namespace vantorel::server

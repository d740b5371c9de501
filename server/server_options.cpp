#include "server/server_options.hpp"

#include <arpa/inet.h>
#include <getopt.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

namespace vantorel::server {

namespace {

template <typename T> bool ParseNumber(const std::string& text, T low, T high, T& value) {
    T parsed{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || parsed < low ||
        parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseListen(const std::string& text, TServerOptions& options) {
    size_t colon = 0;
    std::string host;
    if (text.starts_with("[")) {
        const size_t close = text.find(']');
        if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':')
            return false;
        host = text.substr(1, close - 1);
        colon = close + 1;
    } else {
        colon = text.rfind(':');
        if (colon == std::string::npos)
            return false;
        host = text.substr(0, colon);
        if (host.find(':') != std::string::npos)
            return false; // an IPv6 address needs its brackets
    }
    if (host.empty())
        return false;
    for (const char c : host) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                        (c >= 'A' && c <= 'Z') || c == '.' || c == '-' || c == ':';
        if (!ok)
            return false;
    }
    int port = 0;
    if (!ParseNumber(text.substr(colon + 1), 0, 65535, port))
        return false;
    options.Host = host;
    options.Port = port;
    return true;
}

bool IsValueOption(const std::string& key) {
    return key == "listen" || key == "database" || key == "rate" || key == "threads" ||
           key == "trusted-proxy" || key == "log-format" || key == "connections-per-address" ||
           key == "max-connections" || key == "replay-verifier" || key == "replay-data";
}

bool IsAddress(const std::string& text) {
    unsigned char bytes[sizeof(in6_addr)];
    return inet_pton(AF_INET, text.c_str(), bytes) == 1 ||
           inet_pton(AF_INET6, text.c_str(), bytes) == 1;
}

// Sets the option KEY (listen, database, rate or threads) from VALUE; on a mistake
// returns one line that starts with LABEL, the option's name as the reader wrote it.
std::string SetOption(const std::string& key, const std::string& value, const std::string& label,
                      TServerOptions& options) {
    if (key == "listen") {
        if (!ParseListen(value, options))
            return label + " wants HOST:PORT with a port from 0 to 65535, not \"" + value + "\"";
    } else if (key == "database") {
        if (value.empty())
            return label + " wants a SQLite file path or a PostgreSQL connection";
        options.Database = value;
    } else if (key == "rate") {
        if (!ParseNumber<uint32_t>(value, 0, 1'000'000, options.RatePerMinute))
            return label + " wants a whole number of reports per minute (0: no limit), not \"" +
                   value + "\"";
    } else if (key == "trusted-proxy") {
        if (!IsAddress(value))
            return label + " wants an IPv4 or IPv6 address, not \"" + value + "\"";
        options.TrustedProxies.push_back(value);
    } else if (key == "log-format") {
        if (value != "line" && value != "json")
            return label + " wants line or json, not \"" + value + "\"";
        options.JsonLog = value == "json";
    } else if (key == "connections-per-address") {
        if (!ParseNumber<size_t>(value, 1, 1'000'000, options.ConnectionsPerAddress))
            return label + " wants a whole number from 1 to 1000000, not \"" + value + "\"";
    } else if (key == "replay-verifier") {
        // An absolute path: the server may run from any folder, and no PATH
        // lookup decides which program plays strangers' files.
        if (!value.starts_with("/"))
            return label + " wants the verifier's absolute path, not \"" + value + "\"";
        options.ReplayVerifier = value;
    } else if (key == "replay-data") {
        if (value.empty())
            return label + " wants the game's data folder";
        options.ReplayData = value;
    } else if (key == "max-connections") {
        if (!ParseNumber<size_t>(value, 1, 1'000'000, options.MaxConnections))
            return label + " wants a whole number from 1 to 1000000, not \"" + value + "\"";
    } else {
        if (!ParseNumber<size_t>(value, 1, 256, options.Threads))
            return label + " wants a whole number from 1 to 256, not \"" + value + "\"";
    }
    return {};
}

// getopt_long's codes for the long options; -h is 'h' as well.
enum : int {
    kConfig = 256,
    kListen,
    kDatabase,
    kRate,
    kThreads,
    kVersion,
    kTrustedProxy,
    kLogFormat,
    kConnectionsPerAddress,
    kMaxConnections,
    kBackup,
    kReplayVerifier,
    kReplayData
};

// --help and --version ignore an "=value", as they always have.
const option kLongOptions[] = {
    {"config", required_argument, nullptr, kConfig},
    {"listen", required_argument, nullptr, kListen},
    {"database", required_argument, nullptr, kDatabase},
    {"rate", required_argument, nullptr, kRate},
    {"threads", required_argument, nullptr, kThreads},
    {"trusted-proxy", required_argument, nullptr, kTrustedProxy},
    {"log-format", required_argument, nullptr, kLogFormat},
    {"connections-per-address", required_argument, nullptr, kConnectionsPerAddress},
    {"max-connections", required_argument, nullptr, kMaxConnections},
    {"help", optional_argument, nullptr, 'h'},
    {"version", optional_argument, nullptr, kVersion},
    {"backup", required_argument, nullptr, kBackup},
    {"replay-verifier", required_argument, nullptr, kReplayVerifier},
    {"replay-data", required_argument, nullptr, kReplayData},
    {nullptr, 0, nullptr, 0},
};

const option* FindLongOption(int code) {
    for (const option* o = kLongOptions; o->name; ++o)
        if (o->val == code)
            return o;
    return nullptr;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

std::string ApplyServerConfig(const std::string& text, const std::string& file,
                              TServerOptions& options) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed.starts_with("#"))
            continue;
        const std::string where = file + ":" + std::to_string(number) + ": ";
        const size_t eq = trimmed.find('=');
        if (eq == std::string::npos)
            return where + "wants \"key = value\", not \"" + trimmed + "\"";
        const std::string key = Trim(trimmed.substr(0, eq));
        if (!IsValueOption(key))
            return where + "unknown key \"" + key +
                   "\" (listen, database, rate, threads, trusted-proxy, log-format, "
                   "connections-per-address, max-connections, replay-verifier, replay-data)";
        const std::string error =
            SetOption(key, Trim(trimmed.substr(eq + 1)), where + key, options);
        if (!error.empty())
            return error;
    }
    return {};
}

TServerOptionsParse ParseServerOptions(const std::vector<std::string>& args) {
    TServerOptions options;
    const auto fail = [](std::string error) { return TServerOptionsParse{std::nullopt, error}; };
    // getopt_long reads a writable argv with the program's name in front.
    std::vector<std::string> words{"vantorel-scored"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    // getopt keeps its place in globals: 0 (not 1) also forgets a half-read
    // "-xy" group left over from an earlier parse.
    optind = 0;
    opterr = 0;
    // The command line is read whole first, and applied after the config file.
    std::vector<std::pair<std::string, std::string>> given;
    for (;;) {
        // The word being read; getopt moves optind past it (or past its value).
        const int at = optind == 0 ? 1 : optind;
        // "+": stop at the first word that is no option; ":": report a missing value.
        const int code = getopt_long(argc, argv.data(), "+:h", kLongOptions, nullptr);
        if (code == -1) {
            // A word that is no option, or "--": the server takes no file names.
            if (at < argc)
                return fail("unknown option " + words[static_cast<size_t>(at)] + " (see --help)");
            break;
        }
        // The option as written, without an "=value".
        const std::string& word = words[static_cast<size_t>(at)];
        const std::string name = word.starts_with("--") ? word.substr(0, word.find('=')) : word;
        const option* known = FindLongOption(code == ':' ? optopt : code);
        // getopt_long also takes a shortened name ("--data") and grouped letters
        // ("-hh"); the server takes neither.
        if (code == '?' ||
            (word.starts_with("--") ? name != "--" + std::string(known->name) : word.size() != 2))
            return fail("unknown option " + name + " (see --help)");
        if (code == ':')
            return fail(name + " needs a value (see --help)");
        if (code == 'h') {
            options.Help = true;
        } else if (code == kVersion) {
            options.Version = true;
        } else if (code == kConfig) {
            if (*optarg == '\0')
                return fail("--config wants a file");
            options.Config = optarg;
        } else if (code == kBackup) {
            if (*optarg == '\0')
                return fail("--backup wants a file");
            options.Backup = optarg;
        } else {
            given.emplace_back(known->name, optarg);
        }
    }
    if (!options.Config.empty() && !options.Help && !options.Version) {
        std::ifstream in(options.Config, std::ios::binary);
        if (!in)
            return fail("cannot read the config file " + options.Config + ": " +
                        std::strerror(errno));
        std::ostringstream text;
        text << in.rdbuf();
        const std::string error = ApplyServerConfig(text.str(), options.Config, options);
        if (!error.empty())
            return fail(error);
    }
    // --trusted-proxy on the command line replaces the config file's list whole.
    bool proxiesGiven = false;
    for (const auto& [key, value] : given) {
        if (key == "trusted-proxy" && !proxiesGiven) {
            options.TrustedProxies.clear();
            proxiesGiven = true;
        }
        const std::string error = SetOption(key, value, "--" + key, options);
        if (!error.empty())
            return fail(error);
    }
    return {options, {}};
}

std::string ServerUsage() {
    return "usage: vantorel-scored [--config FILE] [--listen HOST:PORT] [--database D] [--rate N]\n"
           "                       [--threads N] [--trusted-proxy ADDR]... [--log-format F]\n"
           "                       [--connections-per-address N] [--max-connections N]\n"
           "                       [--replay-verifier PATH [--replay-data DIR]]\n"
           "\n"
           "The Vantorel world score server: takes the game's score reports and serves\n"
           "the world table.\n"
           "\n"
           "  --config FILE       read \"key = value\" lines (listen, database, rate,\n"
           "                      threads, trusted-proxy, log-format,\n"
           "                      connections-per-address, max-connections,\n"
           "                      replay-verifier, replay-data) from FILE\n"
           "                      first; options given here win\n"
           "  --listen HOST:PORT  address to listen on (default 127.0.0.1:8080; port 0\n"
           "                      picks a free port; [::1]:8080 for IPv6)\n"
           "  --database D        a SQLite file (default vantorel-scores.sqlite in the\n"
           "                      working directory), or a PostgreSQL connection string\n"
           "                      (postgresql://... or \"host=... dbname=...\")\n"
           "  --rate N            reports accepted per address per minute (default 30;\n"
           "                      0: no limit)\n"
           "  --threads N         requests handled at once (default 16)\n"
           "  --trusted-proxy ADDR\n"
           "                      a reverse proxy's address: requests from it name their\n"
           "                      client in X-Forwarded-For (repeatable; otherwise the\n"
           "                      header is ignored)\n"
           "  --log-format F      line (default) or json: one JSON object per line\n"
           "  --connections-per-address N\n"
           "                      connections open at once from one address (default 32;\n"
           "                      trusted proxies are not limited)\n"
           "  --max-connections N connections open at once in all (default 10000)\n"
           "  --replay-verifier PATH\n"
           "                      the replay verifier (vantorel-replay, an absolute\n"
           "                      path): replays are taken at POST /api/v1/replays and\n"
           "                      played back in a limited child process; without it\n"
           "                      uploads get 503\n"
           "  --replay-data DIR   the game's data folder, handed to the verifier as\n"
           "                      VANTOREL_DATA\n"
           "  --backup FILE       copy the SQLite database, while servers run on it, to\n"
           "                      FILE and exit (PostgreSQL: use pg_dump)\n"
           "  --help              this text\n"
           "  --version           the program's name and version\n"
           "\n"
           "Prints \"listening on HOST:PORT\" once ready, then one line per request.\n"
           "/metrics answers the counters in the Prometheus text format.\n"
           "SIGTERM or SIGINT stops it after the requests in flight are answered.\n";
}

} // namespace vantorel::server

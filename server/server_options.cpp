#include "server/server_options.hpp"

#include <charconv>

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

} // namespace

TServerOptionsParse ParseServerOptions(const std::vector<std::string>& args) {
    TServerOptions options;
    const auto fail = [](std::string error) { return TServerOptionsParse{std::nullopt, error}; };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const size_t eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            options.Help = true;
            continue;
        }
        if (name != "--listen" && name != "--database" && name != "--rate" && name != "--threads")
            return fail("unknown option " + name + " (see --help)");
        if (!value) {
            if (i + 1 >= args.size())
                return fail(name + " needs a value (see --help)");
            value = args[++i];
        }
        if (name == "--listen") {
            if (!ParseListen(*value, options))
                return fail("--listen wants HOST:PORT with a port from 0 to 65535, not \"" +
                            *value + "\"");
        } else if (name == "--database") {
            if (value->empty())
                return fail("--database wants a SQLite file path or a PostgreSQL connection");
            options.Database = *value;
        } else if (name == "--rate") {
            if (!ParseNumber<uint32_t>(*value, 0, 1'000'000, options.RatePerMinute))
                return fail("--rate wants a whole number of reports per minute (0: no limit), "
                            "not \"" +
                            *value + "\"");
        } else {
            if (!ParseNumber<size_t>(*value, 1, 256, options.Threads))
                return fail("--threads wants a whole number from 1 to 256, not \"" + *value + "\"");
        }
    }
    return {options, {}};
}

std::string ServerUsage() {
    return "usage: vantorel-scored [--listen HOST:PORT] [--database D] [--rate N] [--threads N]\n"
           "\n"
           "The Vantorel world score server: takes the game's score reports and serves\n"
           "the world table.\n"
           "\n"
           "  --listen HOST:PORT  address to listen on (default 127.0.0.1:8080; port 0\n"
           "                      picks a free port; [::1]:8080 for IPv6)\n"
           "  --database D        a SQLite file (default vantorel-scores.sqlite in the\n"
           "                      working directory), or a PostgreSQL connection string\n"
           "                      (postgresql://... or \"host=... dbname=...\")\n"
           "  --rate N            reports accepted per address per minute (default 30;\n"
           "                      0: no limit)\n"
           "  --threads N         requests handled at once (default 16)\n"
           "  --help              this text\n"
           "\n"
           "Prints \"listening on HOST:PORT\" once ready, then one line per request.\n"
           "SIGTERM or SIGINT stops it after the requests in flight are answered.\n";
}

} // namespace vantorel::server

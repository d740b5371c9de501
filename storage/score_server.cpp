#include "storage/score_server.hpp"

#include "storage/file_bytes.hpp"
#include "storage/game_paths.hpp"
#include "storage/text_file_reader.hpp"

#include <charconv>
#include <cstdlib>

#ifndef VANTOREL_SCORE_SERVER_DEFAULT
#define VANTOREL_SCORE_SERVER_DEFAULT "scores.vantorel.example"
#endif

namespace vantorel {

namespace {

bool IsHostChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

/// The first line of a settings file's text that is neither blank nor a comment,
/// without the blanks around it.
std::string FirstSetting(const std::string& text) {
    TTextFileReader reader(text);
    while (const std::optional<std::string> line = reader.ReadLine()) {
        const size_t first = line->find_first_not_of(" \t");
        if (first != std::string::npos && (*line)[first] != '#')
            return line->substr(first, line->find_last_not_of(" \t") - first + 1);
    }
    return {};
}

} // namespace

std::string TScoreServer::Authority() const {
    return Port == 80 ? Host : Host + ":" + std::to_string(Port);
}

std::string TScoreServer::ScriptUrl() const {
    return "http://" + Authority() + "/cgi/version.pl";
}

std::string TScoreServer::WorldTableUrl() const {
    return ScriptUrl() + "?prg=Vantorel&show&type=0";
}

std::optional<TScoreServer> ParseScoreServer(const std::string& text) {
    TScoreServer server;
    const size_t colon = text.find(':');
    server.Host = text.substr(0, colon);
    if (server.Host.empty() || server.Host.front() == '-' || server.Host.front() == '.')
        return std::nullopt;
    for (char c : server.Host) {
        if (!IsHostChar(c))
            return std::nullopt;
    }
    if (colon != std::string::npos) {
        const std::string port = text.substr(colon + 1);
        uint32_t value = 0;
        const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || error != std::errc{} || end != port.data() + port.size() ||
            value == 0 || value > 65535)
            return std::nullopt;
        server.Port = static_cast<uint16_t>(value);
    }
    return server;
}

const char* BuiltInScoreServer() {
    return VANTOREL_SCORE_SERVER_DEFAULT;
}

TScoreServer ScoreServerFor(const char* environmentValue, const std::string& fileText) {
    if (environmentValue != nullptr) {
        if (auto server = ParseScoreServer(environmentValue))
            return *server;
    }
    if (auto server = ParseScoreServer(FirstSetting(fileText)))
        return *server;
    if (auto server = ParseScoreServer(BuiltInScoreServer()))
        return *server;
    return TScoreServer{"scores.vantorel.example", 80};
}

TScoreServer ScoreServer() {
    // A missing or unreadable file reads as empty, which leaves the build's address.
    const TFileBytes file = ReadFileBytes(TGamePaths::ScoreServerFile(), 4096);
    return ScoreServerFor(std::getenv("VANTOREL_SCORE_SERVER"), file.Bytes);
}

} // namespace vantorel

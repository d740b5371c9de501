// Where the world score table lives. The address is fixed when the game is built
// (CMake cache variable VANTOREL_SCORE_SERVER, default "scores.vantorel.example",
// a name that never resolves, so an unconfigured build sends nothing anywhere)
// and may be changed for a machine by the file TGamePaths::ScoreServerFile()
// (an installed game's /etc/vantorel/score-server) and for a run by the
// environment variable VANTOREL_SCORE_SERVER, each "host" or "host:port". The
// score report and the world-table link both take it from here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantorel {

struct TScoreServer {
    std::string Host;
    uint16_t Port = 80;

    /// "host", or "host:port" when the port is not 80: the Host header of the
    /// score report and the authority of every address on the server.
    std::string Authority() const;
    /// "http://" + Authority() + "/cgi/version.pl": the script that takes reports
    /// and shows the table.
    std::string ScriptUrl() const;
    /// The world high-score page opened from the high-score screen.
    std::string WorldTableUrl() const;

    bool operator==(const TScoreServer&) const = default;
};

/// "host" or "host:port" parsed: the host of letters, digits, "." and "-"; the
/// port 1 to 65535. nullopt for anything else, so a stray value cannot slip a
/// path or a query into the addresses built from it.
std::optional<TScoreServer> ParseScoreServer(const std::string& text);

/// The first of these that holds a valid address: the environment's value, the
/// first line of fileText that is neither blank nor a "#" comment (blanks
/// around it ignored), the build's address. An empty or invalid value is passed
/// over.
TScoreServer ScoreServerFor(const char* environmentValue, const std::string& fileText = {});

/// ScoreServerFor(getenv("VANTOREL_SCORE_SERVER"), the score server file's text).
TScoreServer ScoreServer();

/// The build's address, before any override.
const char* BuiltInScoreServer();

} // namespace vantorel

// The addresses the game hands to the desktop: the maker's web site (main menu),
// the world high-score page (high-score screen) and the link file "play.url"
// beside the game, opened at exit. The game never waits for or checks the result.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vantorel {

class ILinkOpener;
struct TScoreServer;

/// The maker's home page, opened by main menu item 5.
inline constexpr const char* MakerHomePage = "http://www.vantorel.example/";

/// Opens MakerHomePage. The menu stays as it is.
void OpenMakerSite(ILinkOpener& opener);

/// Opens the world high-score page of server; each activation opens it again.
void OpenWorldTable(ILinkOpener& opener, const TScoreServer& server);

/// The address of a link file's "URL=" line (in its [InternetShortcut] section,
/// or before any section), when it is an http or https address: scheme, "://",
/// a host, and no blanks or control bytes. nullopt for anything else, such as a
/// file: address or a program path, which the game must not hand to the desktop.
std::optional<std::string> ExitLinkAddress(const std::string& linkFileBytes);

/// At exit, after both save files are written: when the link file at path exists
/// and names a web address, opens that address. True when something was opened.
bool OpenExitLink(ILinkOpener& opener, const std::filesystem::path& path = "play.url");

} // namespace vantorel

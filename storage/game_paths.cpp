#include "storage/game_paths.hpp"

#include "base/errors.hpp"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#ifndef VANTOREL_INSTALLED_DATA
#define VANTOREL_INSTALLED_DATA "/usr/local/share/games/vantorel/Data"
#endif
#ifndef VANTOREL_SCORE_SERVER_FILE
#define VANTOREL_SCORE_SERVER_FILE "/usr/local/etc/vantorel/score-server"
#endif

namespace vantorel {

namespace fs = std::filesystem;

namespace {

/// A data folder is one that holds the picture libraries' folder.
bool HoldsData(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder / "Res", ec);
}

bool Writable(const fs::path& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() && fs::equivalent(a, b, ec);
}

/// The data folder's own Save/ when a player may write there: it is a
/// writable folder, or it is missing and can be made.
bool SavesBesideData(const fs::path& data) {
    const fs::path save = data / "Save";
    std::error_code ec;
    const auto status = fs::symlink_status(save, ec);
    if (fs::exists(status))
        return fs::is_directory(fs::status(save, ec)) && Writable(save);
    return Writable(data);
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

TPathEnvironment TPathEnvironment::Current(const fs::path& programFolder) {
    TPathEnvironment e;
    e.DataVariable = Variable("VANTOREL_DATA");
    std::error_code ec;
    e.WorkingFolder = fs::current_path(ec);
    e.ProgramFolder = programFolder;
    e.InstalledData = VANTOREL_INSTALLED_DATA;
    e.XdgDataHome = Variable("XDG_DATA_HOME");
    e.Home = Variable("HOME");
    if (e.Home.empty()) {
        if (const passwd* account = ::getpwuid(::getuid()); account != nullptr)
            e.Home = account->pw_dir != nullptr ? account->pw_dir : "";
    }
    return e;
}

TGamePaths TGamePaths::InWorkingFolder() {
    return TGamePaths("Data", fs::path("Data") / "Save");
}

fs::path TGamePaths::PlayerSaveFolder(const TPathEnvironment& environment) {
    // A relative $XDG_DATA_HOME is invalid and ignored, as is a relative home.
    fs::path base = environment.XdgDataHome;
    if (!base.is_absolute()) {
        const fs::path home = environment.Home;
        if (!home.is_absolute())
            return {};
        base = home / ".local" / "share";
    }
    return base / "vantorel" / "Save";
}

fs::path TGamePaths::ScoreServerFile() {
    return VANTOREL_SCORE_SERVER_FILE;
}

TGamePaths TGamePaths::Find(const TPathEnvironment& environment) {
    struct TPlace {
        fs::path Folder;
        std::string Why;
    };
    std::vector<TPlace> places;
    const auto add = [&places](const fs::path& folder, const char* why) {
        // A program started in its own folder has one place there, not two.
        const fs::path normal = folder.lexically_normal();
        for (const TPlace& p : places)
            if (p.Folder == normal)
                return;
        places.push_back({normal, why});
    };
    if (!environment.DataVariable.empty())
        add(environment.WorkingFolder / environment.DataVariable, "VANTOREL_DATA");
    add(environment.WorkingFolder / "Data", "the working folder");
    if (!environment.ProgramFolder.empty())
        add(environment.ProgramFolder / "Data", "beside the program");
    add(environment.InstalledData, "the installed game");

    for (const TPlace& place : places) {
        if (!HoldsData(place.Folder))
            continue;
        const fs::path& data = place.Folder;
        const bool installed = SameFolder(data, environment.InstalledData);
        if (!installed && SavesBesideData(data))
            return TGamePaths(data, data / "Save");
        return TGamePaths(data, PlayerSaveFolder(environment));
    }

    std::string text = "The game's data was not found. It is a folder holding Res, Music and "
                       "Fonts; the game looked in:";
    for (const TPlace& place : places)
        text += "\n  " + place.Folder.string() + " (" + place.Why + ")";
    if (environment.DataVariable.empty())
        text += "\nSet VANTOREL_DATA to the data folder's path to name another place.";
    throw EVantorelError(text);
}

} // namespace vantorel

// Where the game's files live: the data it reads, the saves it writes and the
// file naming the world score server. Every path the game opens comes from here.
//
// The data folder (holding Res/, Music/ and Fonts/) is looked for in this order:
// $VANTOREL_DATA, Data/ in the working folder, Data/ beside the program, then the
// folder the game was installed with. The saves go to Save/ in the data folder
// when it is writable there, as in a build tree, and otherwise to the player's
// own folder, ${XDG_DATA_HOME:-$HOME/.local/share}/vantorel/Save. An installed
// data folder never takes the saves, even for a user who could write there.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vantorel {

/// What the lookup depends on, read once from the process (Current) or made
/// up by a test.
struct TPathEnvironment {
    /// $VANTOREL_DATA; empty when unset.
    std::string DataVariable;
    std::filesystem::path WorkingFolder;
    /// The folder holding the program; empty when the desktop cannot tell.
    std::filesystem::path ProgramFolder;
    /// The data folder of an installed game, fixed when the game was built.
    std::filesystem::path InstalledData;
    /// $XDG_DATA_HOME; empty when unset.
    std::string XdgDataHome;
    /// $HOME, or the account's home folder when $HOME is unset; may be empty.
    std::string Home;

    /// The running process's environment, with programFolder as the program's.
    static TPathEnvironment Current(const std::filesystem::path& programFolder);
};

class TGamePaths {
public:
    /// Data/ and Data/Save/ relative to the working folder: tests and tools
    /// that run where the build put the data.
    static TGamePaths InWorkingFolder();
    /// Looks for the data folder in order and picks the save folder for it.
    /// Raises EVantorelError naming every place looked in when none holds the data.
    static TGamePaths Find(const TPathEnvironment& environment);

    /// Where a player's saves go when the data folder does not take them;
    /// empty when neither $XDG_DATA_HOME nor a home folder is known.
    static std::filesystem::path PlayerSaveFolder(const TPathEnvironment& environment);
    /// The file naming the world score server (one line, host[:port]) that an
    /// installed game reads; fixed when the game was built.
    static std::filesystem::path ScoreServerFile();

    const std::filesystem::path& DataFolder() const { return data_; }
    const std::filesystem::path& SaveFolder() const { return save_; }

    std::filesystem::path MenuPictures() const { return data_ / "Res" / "Res1.dxg"; }
    std::filesystem::path WorldPictures() const { return data_ / "Res" / "Res2.dxg"; }
    std::filesystem::path Sounds() const { return data_ / "Res" / "Sounds.dxw"; }
    std::filesystem::path MenuMusic() const { return data_ / "Music" / "Menu.xm"; }
    std::filesystem::path RaceMusic() const { return data_ / "Music" / "Race.xm"; }
    std::filesystem::path FontAliases() const { return data_ / "Fonts" / "fonts.conf"; }
    /// The game shipped with the data that the main menu shows when left alone.
    std::filesystem::path DemoReplay() const { return data_ / "Demo" / "demo.vrp"; }

private:
    TGamePaths(std::filesystem::path data, std::filesystem::path save)
        : data_(std::move(data)), save_(std::move(save)) {}

    std::filesystem::path data_;
    std::filesystem::path save_;
};

} // namespace vantorel

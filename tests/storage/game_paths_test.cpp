#include "storage/game_paths.hpp"

#include "base/errors.hpp"
#include "storage/high_score_table.hpp"
#include "storage/options_record.hpp"
#include "storage/save_files.hpp"
#include "temp_folder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vantorel {
namespace {

namespace fs = std::filesystem;

/// A made-up machine in the temporary folder: a working folder, a program
/// folder, an installed data folder and a home, each with its Data/ only when a
/// case asks for it.
struct GamePathsTest : testing::TempFolderTest {
    TPathEnvironment env;

    void SetUp() override {
        TempFolderTest::SetUp();
        env.WorkingFolder = dir / "cwd";
        env.ProgramFolder = dir / "bin";
        env.InstalledData = dir / "usr/share/games/vantorel/Data";
        env.Home = (dir / "home").string();
        for (const fs::path& f : {env.WorkingFolder, env.ProgramFolder, fs::path(env.Home)})
            fs::create_directories(f);
    }
    void TearDown() override {
        // Folders a case made read-only are made writable again to be removed.
        for (const auto& entry : fs::recursive_directory_iterator(dir))
            if (entry.is_directory())
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        TempFolderTest::TearDown();
    }

    static fs::path MakeData(const fs::path& folder) {
        fs::create_directories(folder / "Res");
        return folder;
    }
    fs::path PlayerSaves() const { return fs::path(env.Home) / ".local/share/vantorel/Save"; }
    /// root writes through any mode: the read-only cases mean nothing to it.
    static bool RunningAsRoot() { return ::geteuid() == 0; }
};

TEST_F(GamePathsTest, DataIsLookedForInOrder) {
    struct Case {
        const char* Name;
        bool Variable, Working, Beside, Installed;
        const char* Expected; ///< which one is taken
    };
    const Case cases[] = {
        {"the variable first", true, true, true, true, "variable"},
        {"then the working folder", false, true, true, true, "working"},
        {"then beside the program", false, false, true, true, "beside"},
        {"then the installed game", false, false, false, true, "installed"},
        {"a variable naming no data is passed over", false, true, false, false, "working"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(dir / "all");
        const fs::path root = dir / "all";
        env.WorkingFolder = root / "cwd";
        env.ProgramFolder = root / "bin";
        env.InstalledData = root / "share/Data";
        env.DataVariable = (root / "mine").string();
        fs::create_directories(env.WorkingFolder);
        const std::vector<std::pair<std::string, fs::path>> places = {
            {"variable", root / "mine"},
            {"working", env.WorkingFolder / "Data"},
            {"beside", env.ProgramFolder / "Data"},
            {"installed", env.InstalledData}};
        const bool wanted[] = {c.Variable, c.Working, c.Beside, c.Installed};
        for (size_t i = 0; i < places.size(); ++i)
            if (wanted[i])
                MakeData(places[i].second);
        fs::path expected;
        for (const auto& [name, folder] : places)
            if (name == c.Expected)
                expected = folder;
        EXPECT_EQ(TGamePaths::Find(env).DataFolder(), expected);
    }
}

TEST_F(GamePathsTest, ARelativeVariableIsTakenFromTheWorkingFolder) {
    MakeData(env.WorkingFolder / "elsewhere");
    env.DataVariable = "elsewhere";
    EXPECT_EQ(TGamePaths::Find(env).DataFolder(), env.WorkingFolder / "elsewhere");
}

TEST_F(GamePathsTest, NoDataNamesEveryPlaceLookedIn) {
    env.DataVariable = "/nowhere/Data";
    try {
        TGamePaths::Find(env);
        FAIL() << "no data folder, yet one was found";
    } catch (const EVantorelError& e) {
        const std::string text = e.what();
        for (const fs::path& place : {fs::path("/nowhere/Data"), env.WorkingFolder / "Data",
                                      env.ProgramFolder / "Data", env.InstalledData})
            EXPECT_NE(text.find(place.string()), std::string::npos) << place << "\n" << text;
    }
}

TEST_F(GamePathsTest, ATreeBuildSavesBesideItsData) {
    const fs::path data = MakeData(env.WorkingFolder / "Data");
    EXPECT_EQ(TGamePaths::Find(env).SaveFolder(), data / "Save");
    fs::create_directories(data / "Save");
    EXPECT_EQ(TGamePaths::Find(env).SaveFolder(), data / "Save");
}

TEST_F(GamePathsTest, AnInstalledGameSavesInThePlayersFolderEvenWhereItCouldWrite) {
    MakeData(env.InstalledData);
    const TGamePaths paths = TGamePaths::Find(env);
    EXPECT_EQ(paths.DataFolder(), env.InstalledData);
    EXPECT_EQ(paths.SaveFolder(), PlayerSaves());
}

TEST_F(GamePathsTest, AReadOnlyDataFolderSendsTheSavesToThePlayersFolder) {
    if (RunningAsRoot())
        GTEST_SKIP() << "root writes into read-only folders";
    const fs::path data = MakeData(env.WorkingFolder / "Data");
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(TGamePaths::Find(env).SaveFolder(), PlayerSaves());

    // A Save/ already there but read-only is no better.
    fs::permissions(data, fs::perms::owner_all);
    fs::create_directories(data / "Save");
    fs::permissions(data / "Save", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(TGamePaths::Find(env).SaveFolder(), PlayerSaves());
}

TEST_F(GamePathsTest, ThePlayersFolderFollowsXdgDataHome) {
    struct Case {
        const char* Name;
        std::string XdgDataHome, Home;
        fs::path Expected;
    };
    const Case cases[] = {
        {"unset: under the home", "", "/home/ann", "/home/ann/.local/share/vantorel/Save"},
        {"set", "/data/ann", "/home/ann", "/data/ann/vantorel/Save"},
        {"relative, so ignored", "rel/share", "/home/ann", "/home/ann/.local/share/vantorel/Save"},
        {"no home at all", "", "", ""},
        {"a relative home is no home", "", "home", ""},
    };
    for (const Case& c : cases) {
        env.XdgDataHome = c.XdgDataHome;
        env.Home = c.Home;
        EXPECT_EQ(TGamePaths::PlayerSaveFolder(env), c.Expected) << c.Name;
    }
}

// The saves of an installed game end up under the home: the folders missing on
// the way are made for the player alone, and an unwritable home loses nothing
// already there and says the save failed.
TEST_F(GamePathsTest, SavingMakesThePlayersFolderPrivate) {
    MakeData(env.InstalledData);
    const TGamePaths paths = TGamePaths::Find(env);
    TSaveFiles saves(paths.SaveFolder());
    HighScoreTable table;
    OptionsRecord options;
    saves.Load(table, options);
    ASSERT_TRUE(saves.Save(table, options));
    EXPECT_TRUE(fs::is_regular_file(paths.SaveFolder() / "hs"));
    EXPECT_TRUE(fs::is_regular_file(paths.SaveFolder() / "options"));
    for (const fs::path& made : {fs::path(env.Home) / ".local", paths.SaveFolder()}) {
        struct stat st {};
        ASSERT_EQ(::stat(made.c_str(), &st), 0) << made;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
    }
}

TEST_F(GamePathsTest, AnUnwritableHomeFailsTheSaveAndWritesNothing) {
    MakeData(env.InstalledData);
    const auto saveSucceeds = [this] {
        TSaveFiles saves(TGamePaths::Find(env).SaveFolder());
        HighScoreTable table;
        OptionsRecord options;
        saves.Load(table, options);
        return saves.Save(table, options);
    };
    // A home that is a file stops even root; a read-only one stops everyone else.
    fs::remove_all(env.Home);
    Write(env.Home, "a file, not a folder");
    EXPECT_FALSE(saveSucceeds());
    EXPECT_EQ(Read(env.Home), "a file, not a folder");
    if (RunningAsRoot())
        return;
    fs::remove(env.Home);
    fs::create_directories(env.Home);
    fs::permissions(env.Home, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(saveSucceeds());
    EXPECT_FALSE(fs::exists(fs::path(env.Home) / ".local"));
}

TEST_F(GamePathsTest, NoPlaceForSavesLoadsDefaultsAndWritesNothing) {
    TSaveFiles saves{fs::path()};
    Write("hs", "not ours");
    HighScoreTable table;
    OptionsRecord options;
    saves.Load(table, options);
    EXPECT_EQ(table.Entries, HighScoreTable::Defaults().Entries);
    EXPECT_FALSE(saves.Save(table, options));
    EXPECT_EQ(Read("hs"), "not ours");
}

} // namespace
} // namespace vantorel

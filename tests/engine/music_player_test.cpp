// The music rules: which module plays for which screen, and what the music
// option lets through.
#include "engine/music_player.hpp"

#include "engine/fake_audio_output.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vantorel {
namespace {

using Calls = std::vector<std::string>;

TEST(MusicPlayer, SwitchesModulesByScreenAndOption) {
    const std::string menu = "LoadMusic Data/Music/Menu.xm";
    const std::string race = "LoadMusic Data/Music/Race.xm";
    struct Case {
        const char* What;
        std::function<void(TMusicPlayer&)> Before; ///< calls whose output is not checked
        std::function<void(TMusicPlayer&)> Act;
        Calls Expected;
        std::string LoadedAfter;
    };
    const auto menuPlaying = [](TMusicPlayer& m) { m.PlayForScreen(false, true); };
    const Case cases[] = {
        {"menu screens play the menu module",
         nullptr,
         [](TMusicPlayer& m) { m.PlayForScreen(false, true); },
         {menu, "PlayMusic"},
         "Data/Music/Menu.xm"},
        {"a game replaces it by the race module",
         menuPlaying,
         [](TMusicPlayer& m) { m.PlayForScreen(true, true); },
         {"FreeMusic", race, "PlayMusic"},
         "Data/Music/Race.xm"},
        {"with the option off a switch leaves the module playing",
         menuPlaying,
         [](TMusicPlayer& m) { m.PlayForScreen(true, false); },
         {},
         "Data/Music/Menu.xm"},
        {"with the option off nothing starts",
         nullptr,
         [](TMusicPlayer& m) { m.PlayForScreen(false, false); },
         {},
         ""},
        {"stop frees the module",
         menuPlaying,
         [](TMusicPlayer& m) { m.Stop(); },
         {"FreeMusic"},
         ""},
        {"stop without a module does nothing", nullptr, [](TMusicPlayer& m) { m.Stop(); }, {}, ""},
        {"switching the option off stops the music",
         menuPlaying,
         [](TMusicPlayer& m) { m.MusicOptionChanged(false, false); },
         {"FreeMusic"},
         ""},
        {"switching it on in a game starts the race module",
         nullptr,
         [](TMusicPlayer& m) { m.MusicOptionChanged(true, true); },
         {race, "PlayMusic"},
         "Data/Music/Race.xm"},
        {"the same screen again restarts its module",
         menuPlaying,
         [](TMusicPlayer& m) { m.PlayForScreen(false, true); },
         {"FreeMusic", menu, "PlayMusic"},
         "Data/Music/Menu.xm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TFakeAudioOutput output;
        TMusicPlayer music(output, "Data/Music/Menu.xm", "Data/Music/Race.xm");
        if (c.Before)
            c.Before(music);
        output.Take();
        c.Act(music);
        EXPECT_EQ(output.Take(), c.Expected);
        EXPECT_EQ(music.LoadedPath(), c.LoadedAfter);
        EXPECT_EQ(music.Loaded(), !c.LoadedAfter.empty());
    }
}

TEST(MusicPlayer, AModuleThatCannotLoadLeavesTheGameSilent) {
    TFakeAudioOutput output;
    output.MusicLoads = false;
    TMusicPlayer music(output, "Data/Music/Menu.xm", "Data/Music/Race.xm");
    EXPECT_NO_THROW(music.PlayForScreen(true, true));
    EXPECT_EQ(output.Take(), Calls{"LoadMusic Data/Music/Race.xm"});
    EXPECT_FALSE(music.Loaded());
    music.Play();
    music.Stop();
    EXPECT_TRUE(output.Calls.empty());
}

} // namespace
} // namespace vantorel

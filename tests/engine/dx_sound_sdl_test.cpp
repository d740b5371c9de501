// The sound device over SDL_mixer, as the headless tests run it (SDL's dummy
// audio driver): every recording of the game's sound library loads, plays and
// stops, and a game without a working device stays silent without failing.
#include "engine/dx_sound.hpp"
#include "engine/dx_wave_list.hpp"

#include "platform/audio_output.hpp"
#include "platform/sdl_audio_output.hpp"

#include <gtest/gtest.h>

#include <string>

namespace vantorel {
namespace {

const std::string kSounds = std::string(VANTOREL_BUILD_DIR) + "/Data/Res/Sounds.dxw";

TEST(DXSoundOverSdl, EveryRecordingOfTheGameLoadsAndPlays) {
    TSdlAudioOutput output;
    TDXSound sound(output);
    TDXWaveList list(&sound);
    list.LoadLibraryFile(kSounds);
    ASSERT_GT(list.Items().Count(), 0);
    if (!sound.Initialize())
        GTEST_SKIP() << "no audio driver at all here";
    for (int32_t i = 0; i < list.Items().Count(); ++i) {
        const TWaveCollectionItem& item = list.Items().Items(i);
        SCOPED_TRACE(item.Name());
        const TWaveVoices* voices = list.VoicesOf(item);
        ASSERT_NE(voices, nullptr);
        EXPECT_GE(voices->Wave(), 0) << "the device refused the recording";
        EXPECT_NO_THROW(list.PlaySound(item.Name(), true));
        list.Stop(item);
    }
    sound.Finalize();
    EXPECT_FALSE(output.IsOpen());
}

TEST(DXSoundOverSdl, WithTheNullDeviceEveryEffectIsSilent) {
    TNullAudioOutput output;
    TDXSound sound(output);
    EXPECT_FALSE(sound.Initialize());
    TDXWaveList list(&sound);
    list.LoadLibraryFile(kSounds);
    for (int32_t i = 0; i < list.Items().Count(); ++i)
        EXPECT_NO_THROW(list.PlaySound(list.Items().Items(i).Name(), true));
}

} // namespace
} // namespace vantorel

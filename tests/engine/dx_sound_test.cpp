// The sound device and the sound library over a recording fake device: the
// notifications, the loading of recordings, the voice rules and the silent game
// without a device.
#include "engine/dx_sound.hpp"
#include "engine/dx_wave_list.hpp"

#include "base/errors.hpp"
#include "engine/fake_audio_output.hpp"
#include "support/byte_blobs.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

using test_support::Bytes;
using test_support::Chunk;
using test_support::Riff;
using test_support::operator+;
using Calls = std::vector<std::string>;

// mono, 22050 Hz, 8 bits
const Bytes kFmt = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x22, 0x56, 0, 0, 1, 0, 8, 0};

struct TSound {
    std::string Name;
    bool Looped;
    int32_t MaxPlayingCount;
};

/// A library file holding the sounds, each with a short recording.
Bytes Library(const std::vector<TSound>& sounds) {
    TWaveCollection scratch;
    for (const TSound& s : sounds) {
        TWaveCollectionItem& item = scratch.Add(scratch);
        item.SetName(s.Name);
        item.Looped = s.Looped;
        item.SetMaxPlayingCount(s.MaxPlayingCount);
        item.Wave.LoadFromRiff(Riff(Chunk("fmt ", kFmt) + Chunk("data", Bytes(9, 0x80))));
    }
    return scratch.WriteLibraryBytes();
}

class TRecordingListener final : public IDXSoundListener {
public:
    void DXSoundNotify(TDXSound&, TDXSoundNotifyType type) override {
        Codes.push_back(static_cast<int>(type));
    }
    std::vector<int> Codes;
};

TEST(DXSound, TellsItsListenersEachStepInOrder) {
    TFakeAudioOutput output;
    TRecordingListener listener;
    {
        TDXSound sound(output);
        sound.AddListener(&listener);
        EXPECT_TRUE(sound.Initialize());
        EXPECT_EQ(listener.Codes, (std::vector<int>{1, 2, 4}));
        listener.Codes.clear();
        sound.Restore();
        EXPECT_EQ(listener.Codes, (std::vector<int>{4}));
        listener.Codes.clear();
        EXPECT_TRUE(sound.Initialize()); // a second start finalises the first
        EXPECT_EQ(listener.Codes, (std::vector<int>{3, 1, 2, 4}));
        listener.Codes.clear();
    }
    EXPECT_EQ(listener.Codes, (std::vector<int>{3, 0}));
    EXPECT_EQ(output.Calls, (Calls{"Open", "Close", "Open", "Close"}));
}

TEST(DXSound, ADeviceThatCannotOpenLeavesTheGameSilent) {
    TFakeAudioOutput output;
    output.Opens = false;
    TDXSound sound(output);
    TRecordingListener listener;
    sound.AddListener(&listener);
    EXPECT_FALSE(sound.Initialize());
    EXPECT_FALSE(sound.Initialized());
    EXPECT_EQ(listener.Codes, (std::vector<int>{1}));
    EXPECT_EQ(sound.AcquireChannel(), -1);
    sound.RemoveListener(&listener);
}

TEST(DXSound, HandsOutChannelsUpToWhatTheDeviceCanMake) {
    TFakeAudioOutput output;
    output.ChannelLimit = 2;
    TDXSound sound(output);
    sound.Initialize();
    EXPECT_EQ(sound.AcquireChannel(), 0);
    EXPECT_EQ(sound.AcquireChannel(), 1);
    EXPECT_EQ(sound.AcquireChannel(), -1);
    sound.ReleaseChannel(0);
    EXPECT_EQ(sound.AcquireChannel(), 0);
    EXPECT_EQ(sound.ChannelsInUse(), 2);
}

TEST(DXWaveList, LoadsEachRecordingOnceAsAPlainRiffWave) {
    TFakeAudioOutput output;
    TDXSound sound(output);
    sound.Initialize();
    TDXWaveList list(&sound);
    // The library may store extra chunks; the device gets format and samples only.
    TWaveCollection scratch;
    TWaveCollectionItem& item = scratch.Add(scratch);
    item.SetName("Odd");
    item.Wave.LoadFromRiff(Riff(Chunk("LIST", Bytes(5, 1)) + Bytes{0} + Chunk("fmt ", kFmt) +
                                Chunk("data", Bytes(3, 0x80)) + Bytes{0}));
    output.Take();
    list.ReadLibraryBytes(scratch.WriteLibraryBytes());
    EXPECT_EQ(output.Take(), Calls{"LoadWave 0"});
    EXPECT_EQ(output.LoadedWaves[0],
              Riff(Chunk("fmt ", kFmt) + Chunk("data", Bytes(3, 0x80)) + Bytes{0}));

    // Restoring replaces the recording; finalising frees it.
    sound.Restore();
    EXPECT_EQ(output.Take(), (Calls{"FreeWave 0", "LoadWave 1"}));
    sound.Finalize();
    EXPECT_EQ(output.Take(), (Calls{"FreeWave 1", "Close"}));
    EXPECT_EQ(list.VoicesOf(list.Find("odd")), nullptr);
}

TEST(DXWaveList, ALibraryLoadedBeforeTheDeviceStartsIsLoadedWhenItStarts) {
    TFakeAudioOutput output;
    TDXSound sound(output);
    TDXWaveList list(&sound);
    list.ReadLibraryBytes(Library({{"Button", false, 0}, {"Bonus", false, 0}}));
    EXPECT_TRUE(output.Calls.empty());
    sound.Initialize();
    EXPECT_EQ(output.Take(), (Calls{"Open", "LoadWave 0", "LoadWave 1"}));
}

TEST(DXWaveList, OutlivesItsDevice) {
    TFakeAudioOutput output;
    TDXWaveList list;
    {
        TDXSound sound(output);
        sound.Initialize();
        list.SetDXSound(&sound);
        list.ReadLibraryBytes(Library({{"Button", false, 0}}));
    }
    EXPECT_EQ(list.DXSound(), nullptr);
    output.Take();
    list.Play(list.Find("Button"));
    list.PlaySound("Button", true);
    EXPECT_TRUE(output.Calls.empty());
}

/// A started device with one list holding the sounds.
class VoiceRules : public ::testing::Test {
protected:
    void SetUp() override {
        sound.Initialize();
        list.ReadLibraryBytes(Library({{"Laser", false, 0},
                                       {"Explosion2", false, 2},
                                       {"Engine", true, 0},
                                       {"Button", false, 0}}));
        output.Take();
    }
    TWaveCollectionItem& Item(const std::string& name) { return list.Find(name); }
    std::vector<int32_t> Voices(const std::string& name) {
        return list.VoicesOf(Item(name))->VoiceChannels();
    }
    /// The voice on channel ends by itself.
    void Ends(int32_t channel) { output.Playing[channel] = false; }

    TFakeAudioOutput output;
    TDXSound sound{output};
    TDXWaveList list{&sound};
};

TEST_F(VoiceRules, PlaySoundRestartsAPlayingEffectOnItsOneVoice) {
    list.PlaySound("laser", true);
    list.PlaySound("LASER", true);
    // Laser is the first recording (handle 0), Button the fourth (handle 3).
    EXPECT_EQ(output.Take(), (Calls{"Stop 0", "Play 0 on 0", "Stop 0", "Stop 0", "Play 0 on 0"}));
    EXPECT_EQ(Voices("Laser"), (std::vector<int32_t>{0}));
    list.PlaySound("Button", true);
    EXPECT_EQ(output.Take(), (Calls{"Stop 1", "Play 3 on 1"}));
}

TEST_F(VoiceRules, DirectPlaysOfAPlayingEffectAddVoicesWithoutLimit) {
    for (int i = 0; i < 3; ++i)
        list.Play(Item("Laser"));
    EXPECT_EQ(Voices("Laser"), (std::vector<int32_t>{0, 1, 2}));
    Ends(1);
    list.Play(Item("Laser"));
    EXPECT_EQ(Voices("Laser"), (std::vector<int32_t>{0, 2, 1}));
    list.Stop(Item("Laser"));
    EXPECT_FALSE(output.IsPlaying(0) || output.IsPlaying(1) || output.IsPlaying(2));
}

TEST_F(VoiceRules, AtMaxPlayingCountTheVoiceStartedLongestAgoRestarts) {
    struct Step {
        const char* What;
        int32_t EndsBefore; ///< channel whose voice ends before the play, or -1
        Calls Expected;
        std::vector<int32_t> VoicesAfter;
    };
    const Step steps[] = {
        {"first voice", -1, {"Stop 0", "Play 1 on 0"}, {0}},
        {"second voice", -1, {"Stop 1", "Play 1 on 1"}, {0, 1}},
        {"both play: the first restarts", -1, {"Stop 0", "Play 1 on 0"}, {1, 0}},
        {"then the other one", -1, {"Stop 1", "Play 1 on 1"}, {0, 1}},
        {"a voice that ended is taken first", 0, {"Stop 0", "Play 1 on 0"}, {1, 0}},
        {"and counts as started last", -1, {"Stop 1", "Play 1 on 1"}, {0, 1}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.What);
        if (step.EndsBefore >= 0)
            Ends(step.EndsBefore);
        list.Play(Item("Explosion2"));
        EXPECT_EQ(output.Take(), step.Expected);
        EXPECT_EQ(Voices("Explosion2"), step.VoicesAfter);
    }
}

TEST_F(VoiceRules, ALoopedItemRestartsItsSingleVoice) {
    list.Play(Item("Engine"));
    list.Play(Item("Engine"));
    EXPECT_EQ(output.Take(),
              (Calls{"Stop 0", "Play 2 on 0 looped", "Stop 0", "Play 2 on 0 looped"}));
    EXPECT_TRUE(Voices("Engine").empty());
    list.Stop(Item("Engine"));
    EXPECT_EQ(output.Take(), Calls{"Stop 0"});
}

TEST_F(VoiceRules, ChangedSettingsTakeEffectAtTheNextPlay) {
    list.Play(Item("Laser"));
    list.Play(Item("Laser"));
    // A new limit frees the extra voices; the next play makes a fresh one.
    Item("Laser").SetMaxPlayingCount(1);
    list.Play(Item("Laser"));
    EXPECT_EQ(Voices("Laser"), (std::vector<int32_t>{0}));
    EXPECT_EQ(sound.ChannelsInUse(), 1);
    // Looping from now on stops the voices first.
    output.Take();
    Item("Laser").Looped = true;
    list.Play(Item("Laser"));
    EXPECT_EQ(output.Take(), (Calls{"Stop 0", "Stop 1", "Play 0 on 1 looped"}));
}

TEST_F(VoiceRules, APlayThatGetsNoVoiceIsSkipped) {
    output.ChannelLimit = 1;
    list.Play(Item("Laser"));
    output.Take();
    list.Play(Item("Laser"));
    list.Play(Item("Engine"));
    EXPECT_TRUE(output.Take().empty());
    EXPECT_EQ(Voices("Laser"), (std::vector<int32_t>{0}));
}

TEST(DXWaveListSilent, EveryPlayDoesNothingWithoutAWorkingDevice) {
    struct Case {
        const char* What;
        bool HasDevice;
        bool Opens;
    };
    const Case cases[] = {
        {"no device", false, true},
        {"device never started", true, true},
        {"device that cannot open", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TFakeAudioOutput output;
        output.Opens = c.Opens;
        TDXSound sound(output);
        if (c.Opens)
            sound.Finalize();
        else
            sound.Initialize();
        TDXWaveList list(c.HasDevice ? &sound : nullptr);
        list.ReadLibraryBytes(Library({{"Laser", false, 0}, {"Engine", true, 0}}));
        output.Take();
        list.PlaySound("Laser", true);
        list.Play(list.Find("Engine"));
        list.Stop(list.Find("Engine"));
        EXPECT_TRUE(output.Calls.empty());
        EXPECT_THROW(list.PlaySound("Nothing", true), EWaveCollectionError);
    }
}

TEST(DXWaveListSilent, WithTheSoundOptionOffNothingIsLookedUpOrPlayed) {
    TFakeAudioOutput output;
    TDXSound sound(output);
    sound.Initialize();
    TDXWaveList list(&sound);
    list.ReadLibraryBytes(Library({{"Laser", false, 0}}));
    output.Take();
    EXPECT_NO_THROW(list.PlaySound("Laser", false));
    EXPECT_NO_THROW(list.PlaySound("No such sound", false));
    EXPECT_TRUE(output.Calls.empty());
    try {
        list.PlaySound("No such sound", true);
        FAIL() << "a missing sound must raise";
    } catch (const EWaveCollectionError& e) {
        EXPECT_STREQ(e.what(), "Wave 'No such sound' not found");
    }
}

} // namespace
} // namespace vantorel

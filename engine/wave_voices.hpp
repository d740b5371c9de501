// The run-time side of one sound: its recording loaded into the device, the main
// voice that plays it looped, and the extra voices that play it once each.
#pragma once

#include <cstdint>
#include <vector>

namespace vantorel {

class TDXSound;
class TWave;
class TWaveCollectionItem;

class TWaveVoices {
public:
    TWaveVoices() = default;
    /// Releases its channels and recording (the device must still exist).
    ~TWaveVoices();
    TWaveVoices(const TWaveVoices&) = delete;
    TWaveVoices& operator=(const TWaveVoices&) = delete;

    /// Releases everything, then becomes initialised when the device is.
    void Initialize(TDXSound& sound);
    /// Loads the item's recording into the device when initialised and the wave
    /// holds data, replacing the one loaded. A recording the device cannot use
    /// leaves the item silent.
    void Restore(const TWaveCollectionItem& item);
    /// Stops and releases every voice and the recording; not initialised after.
    void Finalize();

    /// Plays the item from its start. Looped items use the single main voice;
    /// the others take the first voice that is not playing, else a new one while
    /// fewer than MaxPlayingCount exist (0 = no limit), else the voice started
    /// longest ago. The chosen voice moves to the end, so the list stays in the
    /// order of the last (re)starts. With wait, returns when it has finished.
    void Play(const TWaveCollectionItem& item, bool wait);
    /// Stops the main voice and every extra voice.
    void Stop();

    bool Initialized() const { return sound_ != nullptr; }
    /// Device handle of the loaded recording, -1 when none.
    int32_t Wave() const { return wave_; }
    /// Channel of the looped voice, -1 until the item first plays looped.
    int32_t MainChannel() const { return mainChannel_; }
    /// Channels of the extra voices, the one started longest ago first.
    const std::vector<int32_t>& VoiceChannels() const { return voices_; }

private:
    /// Applies changes the item's owner made since the last play: a changed
    /// Looped stops every voice, a changed MaxPlayingCount frees the extra voices.
    void FollowSettings(const TWaveCollectionItem& item);
    void ReleaseVoices();
    void ReleaseAll();

    TDXSound* sound_ = nullptr;
    int32_t wave_ = -1;
    int32_t mainChannel_ = -1;
    std::vector<int32_t> voices_;
    bool looped_ = false;
    int32_t maxPlayingCount_ = 0;
};

/// The recording as a plain RIFF WAVE file: its format block and its samples,
/// nothing else. This is what the device is given, whatever other chunks the
/// library stored.
std::vector<uint8_t> BuildRiffWave(const TWave& wave);

} // namespace vantorel

// The sound device: opens the audio output, hands out its mixer channels as
// voices, and tells the sound libraries when to load or release their recordings.
#pragma once

#include "engine/dx_sound_listener.hpp"

#include <cstdint>
#include <vector>

namespace vantorel {

class IAudioOutput;

class TDXSound {
public:
    /// Most channels the device hands out at once; a voice asked for beyond this
    /// cannot be made, and the sound that wanted it does not play.
    static constexpr int32_t kMaxChannels = 128;

    /// The output must outlive the device.
    explicit TDXSound(IAudioOutput& output);
    /// Finalises, then tells the listeners the device is going away.
    ~TDXSound();
    TDXSound(const TDXSound&) = delete;
    TDXSound& operator=(const TDXSound&) = delete;

    /// Finalises, notifies Initializing, opens the output; on success marks the
    /// device initialised, notifies Initialize and restores. A device that cannot
    /// open leaves the game silent: returns false and raises nothing.
    bool Initialize();
    /// When initialised: notifies Finalize (the libraries release their
    /// recordings and voices), then closes the output.
    void Finalize();
    /// When initialised: notifies Restore so that every item reloads its
    /// recording. Called by Initialize and whenever the output lost its data.
    void Restore();
    bool Initialized() const { return initialized_; }

    IAudioOutput& Output() const { return output_; }

    /// Registers a listener (once); it hears every later notification, the most
    /// recently registered first. A listener must remove itself before it dies.
    void AddListener(IDXSoundListener* listener);
    void RemoveListener(IDXSoundListener* listener);

    /// A free mixer channel for one voice, or -1 when the device is not
    /// initialised or no more channels can be made. Called by the wave lists.
    int32_t AcquireChannel();
    /// Stops the channel and returns it to the free ones.
    void ReleaseChannel(int32_t channel);
    /// Channels handed out and not yet released.
    int32_t ChannelsInUse() const;

private:
    void Notify(TDXSoundNotifyType type);

    IAudioOutput& output_;
    bool initialized_ = false;
    std::vector<IDXSoundListener*> listeners_;
    std::vector<bool> channelUsed_;
};

} // namespace vantorel

#include "engine/dx_sound.hpp"

#include "platform/audio_output.hpp"

#include <algorithm>

namespace vantorel {

TDXSound::TDXSound(IAudioOutput& output) : output_(output) {}

TDXSound::~TDXSound() {
    Finalize();
    Notify(TDXSoundNotifyType::Destroying);
}

bool TDXSound::Initialize() {
    Finalize();
    Notify(TDXSoundNotifyType::Initializing);
    if (!output_.Open())
        return false;
    initialized_ = true;
    Notify(TDXSoundNotifyType::Initialize);
    Restore();
    return true;
}

void TDXSound::Finalize() {
    if (!initialized_)
        return;
    Notify(TDXSoundNotifyType::Finalize);
    initialized_ = false;
    channelUsed_.clear();
    output_.Close();
}

void TDXSound::Restore() {
    if (initialized_)
        Notify(TDXSoundNotifyType::Restore);
}

void TDXSound::AddListener(IDXSoundListener* listener) {
    if (listener == nullptr)
        return;
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
        return;
    listeners_.push_back(listener);
}

void TDXSound::RemoveListener(IDXSoundListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void TDXSound::Notify(TDXSoundNotifyType type) {
    // A listener may remove itself while it is told (Destroying does); work on a
    // copy and skip the ones gone meanwhile.
    const std::vector<IDXSoundListener*> snapshot = listeners_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        if (std::find(listeners_.begin(), listeners_.end(), *it) == listeners_.end())
            continue;
        (*it)->DXSoundNotify(*this, type);
    }
}

int32_t TDXSound::AcquireChannel() {
    if (!initialized_)
        return -1;
    const auto freeSlot = std::find(channelUsed_.begin(), channelUsed_.end(), false);
    const auto channel = static_cast<int32_t>(freeSlot - channelUsed_.begin());
    if (channel >= kMaxChannels || output_.ReserveChannels(channel + 1) < channel + 1)
        return -1;
    if (freeSlot == channelUsed_.end())
        channelUsed_.push_back(true);
    else
        *freeSlot = true;
    return channel;
}

void TDXSound::ReleaseChannel(int32_t channel) {
    if (channel < 0 || static_cast<size_t>(channel) >= channelUsed_.size())
        return;
    output_.Stop(channel);
    channelUsed_[static_cast<size_t>(channel)] = false;
}

int32_t TDXSound::ChannelsInUse() const {
    return static_cast<int32_t>(std::count(channelUsed_.begin(), channelUsed_.end(), true));
}

} // namespace vantorel

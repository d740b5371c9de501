// The numbered notifications the sound device sends to the sound libraries when
// it starts, stops or must have every recording reloaded.
#pragma once

namespace vantorel {

class TDXSound;

enum class TDXSoundNotifyType : int {
    Destroying = 0,   ///< the device object is being destroyed; forget it
    Initializing = 1, ///< initialisation begins
    Initialize = 2,   ///< the device is open; items may become initialised
    Finalize = 3,     ///< the device is closing; release every recording and voice
    Restore = 4,      ///< (re)load every recording into the device
};

/// Something that follows a sound device; registered with TDXSound::AddListener
/// and told of every notification, the most recently registered listener first.
class IDXSoundListener {
public:
    virtual void DXSoundNotify(TDXSound& sender, TDXSoundNotifyType type) = 0;

protected:
    ~IDXSoundListener() = default;
};

} // namespace vantorel

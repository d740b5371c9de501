// The sound library as the game uses it: the named recordings of a library file
// (Items) attached to the sound device, each played and stopped by name.
#pragma once

#include "engine/dx_sound_listener.hpp"
#include "engine/wave_library.hpp"
#include "engine/wave_voices.hpp"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vantorel {

class TDXWaveList final : public IDXSoundListener {
public:
    /// Attaches to sound when given; the device must outlive the list or tell it
    /// it is going away (it does, from its destructor).
    explicit TDXWaveList(TDXSound* sound = nullptr);
    ~TDXWaveList();
    TDXWaveList(const TDXWaveList&) = delete;
    TDXWaveList& operator=(const TDXWaveList&) = delete;

    /// The device the items play on; null leaves every item silent.
    TDXSound* DXSound() const { return sound_; }
    /// Detaches from the old device, attaches to the new one, and when it is
    /// initialised loads every recording into it.
    void SetDXSound(TDXSound* sound);

    /// The recordings. Load them through LoadLibraryFile or ReadLibraryBytes
    /// below, so that the device gets them too.
    TWaveCollection& Items() { return items_; }
    const TWaveCollection& Items() const { return items_; }

    /// Releases what the device holds, reads the library file ("Data/Res/
    /// Sounds.dxw" at start-up), then, when the device is initialised, loads
    /// every recording into it. Raises the library file errors (EFOpenError,
    /// EFilerError, EWaveStreamError); the list is empty after a failure.
    void LoadLibraryFile(const std::string& fileName);
    void ReadLibraryBytes(std::span<const uint8_t> bytes);

    /// The sound named name, ignoring case; raises EWaveCollectionError
    /// "Wave '%s' not found".
    TWaveCollectionItem& Find(const std::string& name) { return items_.Find(name); }

    /// Plays the item from its start without waiting (or, with wait, until it
    /// ends). Does nothing while the item is not initialised: without a device,
    /// with a device that did not open, or for an item of another list.
    void Play(const TWaveCollectionItem& item, bool wait = false);
    /// Stops every voice of the item.
    void Stop(const TWaveCollectionItem& item);

    /// The game's effect call, from the main window's PlaySound: with the sound
    /// option off nothing happens (not even the lookup); else finds the sound,
    /// stops it and plays it again from its start, so an effect never overlaps
    /// itself. A missing name raises the find error.
    void PlaySound(const std::string& name, bool soundOn);

    /// Releases every item's device data, then marks the items initialised when
    /// the device is (listener code 2).
    void Initialize();
    /// Loads every item's recording into the device (listener code 4).
    void Restore();
    /// Stops and releases every item's voices and recording (listener code 3).
    void Finalize();

    /// The device side of an item (for the tests and for diagnostics); null for
    /// an item that is not initialised.
    const TWaveVoices* VoicesOf(const TWaveCollectionItem& item) const;

    void DXSoundNotify(TDXSound& sender, TDXSoundNotifyType type) override;

private:
    struct TEntry {
        const TWaveCollectionItem* Item;
        std::unique_ptr<TWaveVoices> Voices;
    };
    TWaveVoices* VoicesFor(const TWaveCollectionItem& item) const;
    void AfterRead();

    TDXSound* sound_ = nullptr;
    TWaveCollection items_;
    std::vector<TEntry> entries_;
};

} // namespace vantorel

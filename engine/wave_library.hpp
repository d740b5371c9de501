// The sound library: named wave recordings loaded from a library file of the
// same container as the picture libraries (root class "TWaveCollectionComponent").
// Playing the recordings is the sound device's job; the items keep the state it
// will need (frequency, pan, volume, the initialised flag).
#pragma once

#include "engine/hash_collection.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vantorel {

/// One recording: the bytes as stored (a RIFF WAVE file), its format block and
/// its samples.
class TWave {
public:
    /// Bytes the sample store grows by.
    static constexpr size_t kBlockSize = 8096;

    /// Parses a RIFF WAVE file: "fmt " gives the format block, "data" the samples,
    /// other chunks are skipped; reading ends after "data". Raises
    /// EWaveStreamError("Wave is invalid") without "RIFF"/"WAVE" or when a chunk
    /// runs past the end. No bytes at all make an empty wave.
    void LoadFromRiff(std::span<const uint8_t> riff);
    void Clear();

    bool IsEmpty() const { return riff_.empty(); }
    /// The file as stored in the library, byte for byte.
    const std::vector<uint8_t>& Riff() const { return riff_; }
    /// The format block as read (a WAVEFORMATEX, usually 16 to 18 bytes).
    const std::vector<uint8_t>& Format() const { return format_; }
    std::span<const uint8_t> Data() const { return {store_.data(), size_}; }

    /// Fields of the format block; 0 when the block is too short to hold them.
    uint16_t FormatTag() const;
    uint16_t Channels() const;
    uint32_t SamplesPerSec() const;
    uint16_t BitsPerSample() const;

private:
    /// Resizes the sample store, reallocating only when the number of blocks changes.
    void SetSize(size_t size);

    std::vector<uint8_t> riff_;
    std::vector<uint8_t> format_;
    std::vector<uint8_t> store_;
    size_t size_ = 0;
};

class TWaveCollection;

/// One named sound. The published fields are also the fields of the library file.
class TWaveCollectionItem : public THashCollectionItem {
public:
    explicit TWaveCollectionItem(TWaveCollection& collection);

    bool Looped = false; ///< plays as an endless loop in a single voice
    /// Most voices of this sound at once; 0 = unlimited. Never below 0.
    int32_t MaxPlayingCount() const { return maxPlayingCount_; }
    void SetMaxPlayingCount(int32_t count) { maxPlayingCount_ = count < 0 ? 0 : count; }
    TWave Wave;

    /// Not stored in the file; the game leaves them at 0 (the recording's own
    /// rate, centre, full volume in hundredths of a decibel of attenuation).
    int32_t Frequency = 0;
    int32_t Pan = 0;
    int32_t Volume = 0;

    bool Initialized() const { return initialized_; }
    TWaveCollection& Collection() const { return collection_; }

private:
    friend class TWaveCollection;
    TWaveCollection& collection_;
    int32_t maxPlayingCount_ = 0;
    bool initialized_ = false;
};

/// The sounds of one library, in index order, with a name index.
class TWaveCollection : public THashCollection<TWaveCollectionItem> {
public:
    TWaveCollection() = default;

    /// Removes all items, then reads the sounds of a library file held in memory
    /// (LoadLibraryFile and ReadLibraryStream come here). Raises EFilerError or
    /// EWaveStreamError; a failed read leaves the collection empty.
    void ReadLibraryBytes(std::span<const uint8_t> bytes) override;
    /// The whole library file: root class "TWaveCollectionComponent", property
    /// List with Name, Looped, MaxPlayingCount and Wave.WAVE of every item.
    std::vector<uint8_t> WriteLibraryBytes() const;

protected:
    /// EWaveCollectionError "Wave '%s' not found".
    [[noreturn]] void RaiseNotFound(const std::string& name) const override;
};

} // namespace vantorel

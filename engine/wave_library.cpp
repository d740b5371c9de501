#include "engine/wave_library.hpp"

#include "base/errors.hpp"
#include "base/text_encoding.hpp"
#include "engine/library_stream.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vantorel {

namespace {

[[noreturn]] void InvalidWave() {
    throw EWaveStreamError("Wave is invalid");
}

uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

} // namespace

void TWave::SetSize(size_t size) {
    const size_t blocks = (size + kBlockSize - 1) / kBlockSize;
    if (blocks * kBlockSize != store_.size()) {
        std::vector<uint8_t> grown(blocks * kBlockSize);
        std::copy_n(store_.begin(), std::min(size_, std::min(size, grown.size())), grown.begin());
        store_ = std::move(grown);
    }
    size_ = size;
}

void TWave::Clear() {
    riff_.clear();
    format_.clear();
    SetSize(0);
}

void TWave::LoadFromRiff(std::span<const uint8_t> riff) {
    Clear();
    if (riff.empty())
        return;
    if (riff.size() < 12 || std::memcmp(riff.data(), "RIFF", 4) != 0 ||
        std::memcmp(riff.data() + 8, "WAVE", 4) != 0)
        InvalidWave();
    std::vector<uint8_t> format;
    std::span<const uint8_t> data;
    size_t pos = 12;
    while (riff.size() - pos >= 8) {
        const uint8_t* id = riff.data() + pos;
        const uint32_t size = U32(id + 4);
        pos += 8;
        if (size > riff.size() - pos)
            InvalidWave();
        const auto body = riff.subspan(pos, size);
        if (std::memcmp(id, "fmt ", 4) == 0) {
            format.assign(body.begin(), body.end());
        } else if (std::memcmp(id, "data", 4) == 0) {
            data = body;
            break;
        }
        pos += size;
        if ((size & 1u) && pos < riff.size())
            ++pos; // chunks are word-aligned
    }
    riff_.assign(riff.begin(), riff.end());
    format_ = std::move(format);
    SetSize(data.size());
    std::copy(data.begin(), data.end(), store_.begin());
}

uint16_t TWave::FormatTag() const {
    return format_.size() >= 2 ? static_cast<uint16_t>(format_[0] | format_[1] << 8) : 0;
}
uint16_t TWave::Channels() const {
    return format_.size() >= 4 ? static_cast<uint16_t>(format_[2] | format_[3] << 8) : 0;
}
uint32_t TWave::SamplesPerSec() const {
    return format_.size() >= 8 ? U32(format_.data() + 4) : 0;
}
uint16_t TWave::BitsPerSample() const {
    return format_.size() >= 16 ? static_cast<uint16_t>(format_[14] | format_[15] << 8) : 0;
}

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection& collection)
    : THashCollectionItem(collection.NameIndex()), collection_(collection) {}

void TWaveCollection::RaiseNotFound(const std::string& name) const {
    throw EWaveCollectionError("Wave '" + name + "' not found");
}

namespace {

void ReadWaveItem(TLibraryReader& r, TWaveCollectionItem& item) {
    while (!r.EndOfList()) {
        const std::string prop = r.ReadPropName();
        if (SameTextCp1252(prop, "Name")) {
            item.SetName(r.ReadString());
        } else if (SameTextCp1252(prop, "Looped")) {
            item.Looped = r.ReadBoolean();
        } else if (SameTextCp1252(prop, "MaxPlayingCount")) {
            const int64_t n = r.ReadInteger();
            item.SetMaxPlayingCount(static_cast<int32_t>(
                std::clamp<int64_t>(n, 0, std::numeric_limits<int32_t>::max())));
        } else if (SameTextCp1252(prop, "Wave.WAVE")) {
            item.Wave.LoadFromRiff(r.ReadBinary());
        } else {
            r.SkipValue();
        }
    }
    r.ReadListEnd();
}

} // namespace

void TWaveCollection::ReadLibraryBytes(std::span<const uint8_t> bytes) {
    Clear();
    try {
        ReadLibraryRoot(
            bytes, [this](TLibraryReader& r) { ReadWaveItem(r, Add(*this)); },
            [](TLibraryReader&, const std::string&) { return false; });
    } catch (...) {
        Clear(); // never leave a half-read library behind
        throw;
    }
}

std::vector<uint8_t> TWaveCollection::WriteLibraryBytes() const {
    TLibraryWriter w("TWaveCollectionComponent");
    w.WritePropName("List");
    w.WriteCollectionStart();
    for (int32_t i = 0; i < Count(); ++i) {
        const TWaveCollectionItem& item = Items(i);
        w.WriteElementStart();
        w.WritePropName("Name");
        w.WriteString(item.Name());
        w.WritePropName("Looped");
        w.WriteBoolean(item.Looped);
        w.WritePropName("MaxPlayingCount");
        w.WriteInteger(item.MaxPlayingCount());
        if (!item.Wave.IsEmpty()) {
            w.WritePropName("Wave.WAVE");
            w.WriteBinary(item.Wave.Riff());
        }
        w.WriteListEnd();
    }
    w.WriteListEnd();
    return w.Finish();
}

} // namespace vantorel

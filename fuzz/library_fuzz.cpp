// Feeds arbitrary bytes to every reader of the library files: both collections
// and the two bitmap decoders. Any input must end in a library error or a
// result, never in a crash, a hang or an unbounded allocation. A library that
// loads must also survive being written and read back.
#include "base/errors.hpp"
#include "engine/dib.hpp"
#include "engine/image_library.hpp"
#include "engine/wave_library.hpp"

#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

using namespace vantorel;

// Pictures up to this size are written back; larger ones only cost time.
constexpr int64_t kRoundTripPixels = 1 << 20;

void Pictures(std::span<const uint8_t> bytes) {
    TPictureCollection pictures;
    try {
        pictures.ReadLibraryBytes(bytes);
    } catch (const EVantorelError&) {
        return;
    }
    int64_t pixels = 0;
    for (int32_t i = 0; i < pictures.Count(); ++i) {
        const auto& item = pictures.Items(i);
        (void)item.PatternCount();
        (void)item.PlannedPatternCount();
        (void)pictures.FindItem(item.Name());
        pixels += int64_t{item.Picture.Width} * item.Picture.Height;
    }
    if (pixels > kRoundTripPixels)
        return;
    TPictureCollection again;
    again.ReadLibraryBytes(pictures.WriteLibraryBytes()); // must not throw
    if (again.Count() != pictures.Count())
        std::abort();
}

void Waves(std::span<const uint8_t> bytes) {
    TWaveCollection waves;
    try {
        waves.ReadLibraryBytes(bytes);
    } catch (const EVantorelError&) {
        return;
    }
    TWaveCollection again;
    again.ReadLibraryBytes(waves.WriteLibraryBytes());
    if (again.Count() != waves.Count())
        std::abort();
}

void Bitmaps(std::span<const uint8_t> bytes) {
    try {
        DecodeDib(bytes);
    } catch (const EVantorelError&) {
    }
    try {
        DecodeBitmapFile(bytes);
    } catch (const EVantorelError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    Pictures(bytes);
    Waves(bytes);
    Bitmaps(bytes);
    return 0;
}

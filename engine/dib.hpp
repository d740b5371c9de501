// Pictures of the library files: device-independent bitmaps ("TDIB") and bitmap
// files ("TBitmap"), decoded to 32-bit pixels, and the 24-bit encoder the library
// tool writes with.
#pragma once

#include "engine/surface.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vantorel {

/// A decoded picture: 32-bit pixels 0x00RRGGBB, top row first, Width pixels a
/// row. Empty when Width or Height is 0.
struct TPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<TPixel> Pixels;
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    TPixel At(int32_t x, int32_t y) const {
        return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
    }
};

/// Largest picture the decoder accepts, per side and in total; larger pictures
/// are refused as invalid rather than allocated.
inline constexpr int32_t kMaxDibSide = 16384;
inline constexpr int64_t kMaxDibPixels = int64_t{64} * 1024 * 1024;

inline constexpr const char* kDibIsInvalid = "DIB is invalid";

/// Decodes a bitmap without file header: a 40-byte information header or a
/// 12-byte core header, the three bit-field masks for compression 3, the colour
/// table and the rows. Depths 1, 4, 8, 16, 24 and 32; compression 0, 1 (RLE8),
/// 2 (RLE4) and 3 (bit fields); rows bottom-up, or top-down for a negative height.
/// Raises EInvalidGraphic("DIB is invalid") for anything else, a truncated
/// bitmap or one over the size limits. A width or height of 0 gives an empty picture.
TPicture DecodeDib(std::span<const uint8_t> dib);

/// Decodes a bitmap file: the 14-byte "BM" file header (whose pixel offset is
/// honoured when it is plausible), then a bitmap as DecodeDib takes it.
TPicture DecodeBitmapFile(std::span<const uint8_t> file);

/// A 24-bit uncompressed, bottom-up bitmap with a 40-byte header and no file header.
std::vector<uint8_t> EncodeDib24(const TPicture& picture);

/// The "Picture.Data" value of a library item: a short-string class name and
/// that class's data. "TDIB" is a bitmap as DecodeDib takes it, "TBitmap" a
/// 32-bit length and a bitmap file; any other class name gives an empty picture.
/// A length running past the data raises EFilerError("Invalid stream format").
TPicture ReadPictureData(std::span<const uint8_t> data);
/// "TDIB" and EncodeDib24 of the picture.
std::vector<uint8_t> WritePictureData(const TPicture& picture);

} // namespace vantorel

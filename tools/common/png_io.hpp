// PNG files in and out for the library tool and the asset generators.
#pragma once

#include "engine/dib.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

/// A picture with straight alpha: pixels 0xAARRGGBB, top row first.
struct TRgbaImage {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
    bool HasAlpha = false; ///< the file had an alpha channel or a transparent colour
};

/// Reads any PNG (gray, palette, RGB, with or without alpha; 16-bit channels are
/// reduced to 8). Throws std::runtime_error with the file name and libpng's reason.
TRgbaImage ReadPng(const std::string& path);

/// Writes the picture as an 8-bit RGB PNG. Throws std::runtime_error on failure.
void WritePngRgb(const std::string& path, const TPicture& picture);
/// Writes the image as an 8-bit RGBA PNG. Throws std::runtime_error on failure.
void WritePngRgba(const std::string& path, const TRgbaImage& image);

} // namespace vantorel

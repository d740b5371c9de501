#include "tools/common/png_io.hpp"

#include <png.h>

#include <cstring>
#include <stdexcept>

namespace vantorel {

TRgbaImage ReadPng(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        throw std::runtime_error("Cannot read PNG \"" + path + "\": " + image.message);
    const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_BGRA; // bytes B, G, R, A: one little-endian 0xAARRGGBB
    if (image.width > 16384 || image.height > 16384) {
        png_image_free(&image);
        throw std::runtime_error("PNG \"" + path + "\" is too large");
    }
    TRgbaImage out;
    out.Width = static_cast<int32_t>(image.width);
    out.Height = static_cast<int32_t>(image.height);
    out.HasAlpha = hasAlpha;
    std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr))
        throw std::runtime_error("Cannot read PNG \"" + path + "\": " + image.message);
    out.Pixels.resize(static_cast<size_t>(out.Width) * static_cast<size_t>(out.Height));
    for (size_t i = 0; i < out.Pixels.size(); ++i) {
        const uint8_t* p = bytes.data() + 4 * i;
        out.Pixels[i] =
            uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
    return out;
}

namespace {
void WriteImage(const std::string& path, uint32_t format, int32_t width, int32_t height,
                const std::vector<uint8_t>& bytes) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    if (!png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr))
        throw std::runtime_error("Cannot write PNG \"" + path + "\": " + image.message);
}
} // namespace

void WritePngRgb(const std::string& path, const TPicture& picture) {
    if (picture.IsEmpty())
        throw std::runtime_error("Cannot write an empty picture to \"" + path + "\"");
    std::vector<uint8_t> bytes;
    bytes.reserve(picture.Pixels.size() * 3);
    for (TPixel px : picture.Pixels) {
        bytes.push_back(static_cast<uint8_t>(px >> 16));
        bytes.push_back(static_cast<uint8_t>(px >> 8));
        bytes.push_back(static_cast<uint8_t>(px));
    }
    WriteImage(path, PNG_FORMAT_RGB, picture.Width, picture.Height, bytes);
}

void WritePngRgba(const std::string& path, const TRgbaImage& image) {
    if (image.Width <= 0 || image.Height <= 0)
        throw std::runtime_error("Cannot write an empty picture to \"" + path + "\"");
    std::vector<uint8_t> bytes;
    bytes.reserve(image.Pixels.size() * 4);
    for (uint32_t px : image.Pixels) {
        bytes.push_back(static_cast<uint8_t>(px >> 16));
        bytes.push_back(static_cast<uint8_t>(px >> 8));
        bytes.push_back(static_cast<uint8_t>(px));
        bytes.push_back(static_cast<uint8_t>(px >> 24));
    }
    WriteImage(path, PNG_FORMAT_RGBA, image.Width, image.Height, bytes);
}

} // namespace vantorel

#include "tools/artgen/art_image.hpp"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace vantorel::artgen {

TColor TColor::Hex(uint32_t rgb, float a) {
    return WithAlpha(static_cast<float>((rgb >> 16) & 0xFFu) / 255.0f,
                     static_cast<float>((rgb >> 8) & 0xFFu) / 255.0f,
                     static_cast<float>(rgb & 0xFFu) / 255.0f, a);
}

TColor operator+(const TColor& a, const TColor& b) {
    return {a.R + b.R, a.G + b.G, a.B + b.B, a.A + b.A};
}
TColor operator*(const TColor& a, float k) {
    return {a.R * k, a.G * k, a.B * k, a.A * k};
}
TColor Mix(const TColor& a, const TColor& b, float t) {
    return a * (1.0f - t) + b * t;
}
TColor Over(const TColor& top, const TColor& bottom) {
    return top + bottom * (1.0f - top.A);
}

float Clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float SmoothStep(float edge0, float edge1, float v) {
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

TArtImage::TArtImage(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

void TArtImage::Blend(int x, int y, const TColor& c) {
    if (Contains(x, y))
        At(x, y) = Over(c, At(x, y));
}

void TArtImage::Add(int x, int y, const TColor& c) {
    if (Contains(x, y))
        At(x, y) = At(x, y) + c;
}

TArtImage TArtImage::Downsampled(int factor) const {
    TArtImage out(width_ / factor, height_ / factor);
    const float weight = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < out.height_; ++y)
        for (int x = 0; x < out.width_; ++x) {
            TColor sum;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i)
                    sum = sum + At(x * factor + i, y * factor + j);
            out.At(x, y) = sum * weight;
        }
    return out;
}

void TArtImage::Paste(const TArtImage& src, int x, int y) {
    for (int j = 0; j < src.height_; ++j)
        for (int i = 0; i < src.width_; ++i)
            if (Contains(x + i, y + j))
                At(x + i, y + j) = src.At(i, j);
}

void HardenEdges(TArtImage& image, const THardEdge& edge) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            TColor& p = image.At(x, y);
            if (p.A < edge.Threshold) {
                p = {};
                continue;
            }
            const float a = std::min(p.A, 1.0f);
            // The colour the pixel would have shown over black, brightened back towards
            // its own full colour as coverage grows: a glow keeps a dark rim, a solid
            // shape keeps its colour.
            const float keep =
                1.0f - edge.EdgeDarkening * (1.0f - SmoothStep(edge.Threshold, 1.0f, a));
            const float scale = keep / std::max(p.A, 1e-6f);
            p = {Clamp01(p.R * scale), Clamp01(p.G * scale), Clamp01(p.B * scale), 1.0f};
        }
}

namespace {

uint8_t ToByte(float v) {
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

struct TFileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

} // namespace

void WritePng(const TArtImage& image, const std::string& path, bool opaque) {
    std::unique_ptr<FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("libpng could not start for " + path);
    }
    const int channels = opaque ? 3 : 4;
    std::vector<uint8_t> row(static_cast<size_t>(image.Width() * channels));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng failed writing " + path);
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()),
                 static_cast<png_uint_32>(image.Height()), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const TColor& p = image.At(x, y);
            uint8_t* out = row.data() + x * channels;
            const float a = opaque ? 1.0f : Clamp01(p.A);
            const float inv = (opaque || a <= 0.0f) ? 1.0f : 1.0f / a;
            if (!opaque && a <= 0.0f) {
                out[0] = out[1] = out[2] = out[3] = 0;
                continue;
            }
            out[0] = ToByte(p.R * inv);
            out[1] = ToByte(p.G * inv);
            out[2] = ToByte(p.B * inv);
            if (!opaque)
                out[3] = ToByte(a);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0)
        throw std::runtime_error("cannot write " + path);
}

TArtImage LayOutPatterns(const std::vector<TArtImage>& frames, int columns) {
    if (frames.empty())
        return {};
    const int w = frames.front().Width();
    const int h = frames.front().Height();
    const int count = static_cast<int>(frames.size());
    const int cols = std::min(columns, count);
    const int rows = (count + cols - 1) / cols;
    TArtImage sheet(w * cols, h * rows);
    for (int i = 0; i < count; ++i)
        sheet.Paste(frames[static_cast<size_t>(i)], (i % cols) * w, (i / cols) * h);
    return sheet;
}

} // namespace vantorel::artgen

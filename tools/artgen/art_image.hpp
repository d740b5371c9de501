// Working pictures of the art generators: floating-point RGBA with premultiplied
// colour, so soft shapes, glows and smoke add and layer without fringes, and the
// one place that decides how a soft edge becomes the hard colour-keyed edge of
// the game's pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel::artgen {

/// A colour with premultiplied alpha; channels are linear 0..1 values of the
/// final sRGB-like pixel (the generators paint in display values directly).
struct TColor {
    float R = 0, G = 0, B = 0, A = 0;

    static TColor Opaque(float r, float g, float b) { return {r, g, b, 1.0f}; }
    /// An unpremultiplied colour r, g, b at coverage a.
    static TColor WithAlpha(float r, float g, float b, float a) { return {r * a, g * a, b * a, a}; }
    static TColor Hex(uint32_t rgb, float a = 1.0f);
};

TColor operator+(const TColor& a, const TColor& b);
TColor operator*(const TColor& a, float k);
/// Linear mix of a and b, t = 0 gives a.
TColor Mix(const TColor& a, const TColor& b, float t);
/// Porter-Duff "over": top laid on bottom.
TColor Over(const TColor& top, const TColor& bottom);

float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float v);

class TArtImage {
public:
    TArtImage() = default;
    TArtImage(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    TColor& At(int x, int y) {
        return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) +
                       static_cast<size_t>(x)];
    }
    const TColor& At(int x, int y) const {
        return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) +
                       static_cast<size_t>(x)];
    }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    /// Lays c over the pixel (x, y); outside the picture nothing happens.
    void Blend(int x, int y, const TColor& c);
    /// Adds c to the pixel (light that adds up); outside the picture nothing happens.
    void Add(int x, int y, const TColor& c);

    /// Averages factor x factor blocks; the generators paint at a finer scale and
    /// reduce, which is their anti-aliasing.
    TArtImage Downsampled(int factor) const;
    /// Copies src with its top-left corner at (x, y), replacing pixels.
    void Paste(const TArtImage& src, int x, int y);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<TColor> pixels_;
};

/// How a soft picture becomes a colour-keyed one: pixels whose coverage is below
/// Threshold become fully transparent; the rest become opaque. Glows that would
/// show their full colour right at the cut are darkened towards their rim by
/// EdgeDarkening (0 keeps the colour, 1 lets a pixel at the threshold go nearly black).
struct THardEdge {
    float Threshold = 0.5f;
    float EdgeDarkening = 0.0f;
};

/// Makes every pixel either transparent (alpha 0) or opaque (alpha 1) as edge says.
void HardenEdges(TArtImage& image, const THardEdge& edge);

/// Writes 8-bit RGBA PNG (or RGB when opaque is set, dropping alpha). Colours are
/// unpremultiplied and rounded; a transparent pixel is written as 0,0,0,0.
/// Throws std::runtime_error when the file cannot be written.
void WritePng(const TArtImage& image, const std::string& path, bool opaque);

/// Lays frames out as the patterns of one picture, row by row, columns per row.
TArtImage LayOutPatterns(const std::vector<TArtImage>& frames, int columns);

} // namespace vantorel::artgen

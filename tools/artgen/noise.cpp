#include "tools/artgen/noise.hpp"

#include <cmath>
#include <numbers>

namespace vantorel::artgen {

uint64_t TRandom::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float TRandom::Unit() {
    return static_cast<float>(Next() >> 40) / static_cast<float>(1ull << 24);
}

float TRandom::Gauss() {
    return (Unit() + Unit() + Unit() + Unit() - 2.0f) * 1.7320508f;
}

namespace {

int Wrap(int v, int period) {
    const int m = v % period;
    return m < 0 ? m + period : m;
}

float Fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

} // namespace

TPeriodicNoise::TPeriodicNoise(uint64_t seed, int periodX, int periodY)
    : periodX_(periodX < 1 ? 1 : periodX), periodY_(periodY < 1 ? 1 : periodY) {
    TRandom random(seed);
    angles_.resize(static_cast<size_t>(periodX_) * static_cast<size_t>(periodY_));
    for (float& a : angles_)
        a = random.Unit() * 2.0f * std::numbers::pi_v<float>;
}

float TPeriodicNoise::Gradient(int ix, int iy, float dx, float dy) const {
    const float a =
        angles_[static_cast<size_t>(Wrap(iy, periodY_)) * static_cast<size_t>(periodX_) +
                static_cast<size_t>(Wrap(ix, periodX_))];
    return std::cos(a) * dx + std::sin(a) * dy;
}

float TPeriodicNoise::Sample(float x, float y) const {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float dx = x - fx;
    const float dy = y - fy;
    const float u = Fade(dx);
    const float v = Fade(dy);
    const float n00 = Gradient(ix, iy, dx, dy);
    const float n10 = Gradient(ix + 1, iy, dx - 1.0f, dy);
    const float n01 = Gradient(ix, iy + 1, dx, dy - 1.0f);
    const float n11 = Gradient(ix + 1, iy + 1, dx - 1.0f, dy - 1.0f);
    const float top = n00 + (n10 - n00) * u;
    const float bottom = n01 + (n11 - n01) * u;
    return (top + (bottom - top) * v) * 1.41421356f;
}

TFractalNoise::TFractalNoise(uint64_t seed, int widthPixels, int heightPixels, int baseCellsX,
                             int octaves, float gain, float stretchY) {
    cellsPerPixelX_ = static_cast<float>(baseCellsX) / static_cast<float>(widthPixels);
    cellsPerPixelY_ = cellsPerPixelX_ / stretchY;
    const int baseCellsY =
        static_cast<int>(std::ceil(static_cast<float>(heightPixels) * cellsPerPixelY_)) + 2;
    float amplitude = 1.0f;
    float total = 0.0f;
    TRandom random(seed);
    for (int o = 0; o < octaves; ++o) {
        const int scale = 1 << o;
        octaves_.emplace_back(random.Next(), baseCellsX * scale, baseCellsY * scale);
        amplitudes_.push_back(amplitude);
        total += amplitude;
        amplitude *= gain;
    }
    norm_ = total > 0.0f ? 1.0f / total : 1.0f;
}

float TFractalNoise::Sample(float xPixels, float yPixels) const {
    float sum = 0.0f;
    for (size_t o = 0; o < octaves_.size(); ++o) {
        const float scale = static_cast<float>(1 << o);
        sum += amplitudes_[o] * octaves_[o].Sample(xPixels * cellsPerPixelX_ * scale,
                                                   yPixels * cellsPerPixelY_ * scale);
    }
    return sum * norm_;
}

TPeriodicNoise1D::TPeriodicNoise1D(uint64_t seed, int periodPixels, int baseCells, int octaves,
                                   float gain)
    : noise_(seed, periodPixels, periodPixels, baseCells, octaves, gain),
      // A row between lattice rows in every octave: gradient noise is zero on the lattice.
      row_(0.41f * static_cast<float>(periodPixels) / static_cast<float>(baseCells)) {}

float TPeriodicNoise1D::Sample(float xPixels) const {
    return noise_.Sample(xPixels, row_);
}

} // namespace vantorel::artgen

// Deterministic randomness and noise for the art generators. Everything here is
// our own arithmetic (no standard distributions), so the same seed paints the same
// pixels with any compiler and library.
#pragma once

#include <cstdint>
#include <vector>

namespace vantorel::artgen {

/// A small 64-bit generator (SplitMix64). Same seed, same sequence, everywhere.
class TRandom {
public:
    explicit TRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    /// Uniform in [0, 1).
    float Unit();
    /// Uniform in [lo, hi).
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
    /// Roughly normal (sum of four uniforms), mean 0, deviation about 1.
    float Gauss();

private:
    uint64_t state_;
};

/// Gradient noise on a lattice that wraps: PeriodX lattice cells across, PeriodY
/// down. Sampled in lattice units, so Sample(x + PeriodX, y) == Sample(x, y); a
/// picture W pixels wide tiles left-right when it samples x * PeriodX / W.
/// Values lie roughly in -1..1.
class TPeriodicNoise {
public:
    TPeriodicNoise(uint64_t seed, int periodX, int periodY);
    float Sample(float x, float y) const;
    int PeriodX() const { return periodX_; }
    int PeriodY() const { return periodY_; }

private:
    float Gradient(int ix, int iy, float dx, float dy) const;
    int periodX_;
    int periodY_;
    std::vector<float> angles_; // one gradient direction per lattice point
};

/// Fractal sum of periodic noise over a picture of the given size: octave 0 has
/// baseCellsX lattice cells across the width (so it wraps with the picture) and
/// cells of the same size in pixels down; each further octave doubles the cells
/// and halves the amplitude times gain/0.5. Sample in pixels.
class TFractalNoise {
public:
    TFractalNoise(uint64_t seed, int widthPixels, int heightPixels, int baseCellsX, int octaves,
                  float gain = 0.5f, float stretchY = 1.0f);
    /// Sum of the octaves, normalised to roughly -1..1.
    float Sample(float xPixels, float yPixels) const;

private:
    std::vector<TPeriodicNoise> octaves_;
    std::vector<float> amplitudes_;
    float cellsPerPixelX_;
    float cellsPerPixelY_;
    float norm_ = 1.0f;
};

/// One-dimensional periodic fractal noise over `period` pixels, roughly -1..1.
class TPeriodicNoise1D {
public:
    TPeriodicNoise1D(uint64_t seed, int periodPixels, int baseCells, int octaves,
                     float gain = 0.5f);
    float Sample(float xPixels) const;

private:
    TFractalNoise noise_;
    float row_;
};

} // namespace vantorel::artgen

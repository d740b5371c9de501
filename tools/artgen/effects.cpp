#include "tools/artgen/effects.hpp"

#include "tools/artgen/noise.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <vector>

namespace vantorel::artgen {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

/// A colour ramp over 0..1, e.g. temperature to the colour of hot gas.
class TRamp {
public:
    TRamp(std::initializer_list<std::pair<float, uint32_t>> stops) {
        for (const auto& [t, rgb] : stops)
            stops_.push_back({t, TColor::Hex(rgb)});
    }
    TColor operator()(float t) const {
        if (t <= stops_.front().first)
            return stops_.front().second;
        for (size_t i = 1; i < stops_.size(); ++i)
            if (t <= stops_[i].first)
                return Mix(stops_[i - 1].second, stops_[i].second,
                           (t - stops_[i - 1].first) / (stops_[i].first - stops_[i - 1].first));
        return stops_.back().second;
    }

private:
    std::vector<std::pair<float, TColor>> stops_;
};

const TRamp kFireRamp{{0.00f, 0x3b3532}, {0.10f, 0x4a3229}, {0.22f, 0x7a2310}, {0.36f, 0xc8441a},
                      {0.52f, 0xff8424}, {0.68f, 0xffba3c}, {0.84f, 0xffe884}, {1.00f, 0xfffcec}};
const TRamp kLaserRamp{
    {0.00f, 0x5a0a08}, {0.30f, 0xc81e12}, {0.55f, 0xff5a20}, {0.78f, 0xffb050}, {1.00f, 0xfffbe6}};
const TRamp kPlasmaRamp{
    {0.00f, 0x0c1660}, {0.30f, 0x1f48d8}, {0.55f, 0x3c9cff}, {0.80f, 0x9ae6ff}, {1.00f, 0xffffff}};
const TRamp kFlameRamp{{0.00f, 0x5c1408}, {0.25f, 0xb8300c}, {0.50f, 0xf07a1c},
                       {0.72f, 0xffc247}, {0.88f, 0xfff0b0}, {1.00f, 0xf0f8ff}};
const TRamp kEnemyFlameRamp{{0.00f, 0x4c0c10}, {0.25f, 0xa41c14}, {0.50f, 0xe84a18},
                            {0.72f, 0xff9a30}, {0.88f, 0xffe2a0}, {1.00f, 0xfff6f0}};

/// A soft emitter: light of intensity i (0..1, more saturates) coloured by ramp,
/// covering the pixel by alpha = gain * i.
TColor Glow(const TRamp& ramp, float intensity, float gain) {
    const TColor c = ramp(Clamp01(intensity));
    return TColor::WithAlpha(c.R, c.G, c.B, Clamp01(intensity * gain));
}

using TShader = std::function<TColor(int frame, float x, float y)>;

/// Paints each frame at `fine` times the resolution (pixel centres), reduces it,
/// and cuts the soft result to hard edges.
std::vector<TArtImage> Render(int w, int h, int frames, int fine, const THardEdge& edge,
                              const TShader& shader) {
    std::vector<TArtImage> out;
    for (int f = 0; f < frames; ++f) {
        TArtImage big(w * fine, h * fine);
        const float step = 1.0f / static_cast<float>(fine);
        for (int y = 0; y < h * fine; ++y)
            for (int x = 0; x < w * fine; ++x)
                big.At(x, y) = shader(f, (static_cast<float>(x) + 0.5f) * step,
                                      (static_cast<float>(y) + 0.5f) * step);
        TArtImage frame = big.Downsampled(fine);
        HardenEdges(frame, edge);
        out.push_back(std::move(frame));
    }
    return out;
}

TArtImage MirroredX(const TArtImage& src) {
    TArtImage out(src.Width(), src.Height());
    for (int y = 0; y < src.Height(); ++y)
        for (int x = 0; x < src.Width(); ++x)
            out.At(src.Width() - 1 - x, y) = src.At(x, y);
    return out;
}

std::vector<TArtImage> MirroredX(const std::vector<TArtImage>& frames) {
    std::vector<TArtImage> out;
    for (const TArtImage& f : frames)
        out.push_back(MirroredX(f));
    return out;
}

// ---------------------------------------------------------------------------
// Explosion: a small particle simulation. Hot puffs burst out of one point and
// slow down; as they cool they swell, redden and darken into smoke that rises
// and thins away; a few sparks fly out in the first frames.

struct TPuff {
    float X0, Y0;  // start, pixels
    float VX, VY;  // outward reach, pixels over the whole burst
    float Radius;  // starting radius
    float Heat;    // starting temperature 0..1
    float Cooling; // how fast it cools
    float Born;    // time it appears, 0..1
    float Rise;    // buoyancy, pixels over the whole burst
};

struct TSpark {
    float DX, DY, Speed, Life;
};

TArtImage Explosion() {
    constexpr int kSize = 96;
    constexpr float kOriginX = 46.0f;
    constexpr float kOriginY = 54.0f;
    TRandom random(0xE8910D3ull);
    std::vector<TPuff> puffs;
    for (int i = 0; i < 46; ++i) { // fireball
        const float a = random.Unit() * 2.0f * kPi;
        const float reach = 6.0f + 20.0f * std::sqrt(random.Unit());
        puffs.push_back({kOriginX + random.Gauss() * 2.0f, kOriginY + random.Gauss() * 2.0f,
                         std::cos(a) * reach, std::sin(a) * reach * 0.85f,
                         4.0f + 4.0f * random.Unit(), 0.7f + 0.3f * random.Unit(),
                         1.6f + 2.2f * random.Unit(), 0.0f, 10.0f + 14.0f * random.Unit()});
    }
    for (int i = 0; i < 22; ++i) { // smoke that follows the fire upwards
        const float a = random.Unit() * 2.0f * kPi;
        const float reach = 4.0f + 14.0f * random.Unit();
        puffs.push_back({kOriginX + random.Gauss() * 5.0f, kOriginY + random.Gauss() * 4.0f,
                         std::cos(a) * reach, std::sin(a) * reach * 0.6f,
                         5.0f + 4.0f * random.Unit(), 0.30f + 0.2f * random.Unit(), 3.5f,
                         0.12f + 0.25f * random.Unit(), 36.0f + 24.0f * random.Unit()});
    }
    std::vector<TSpark> sparks;
    for (int i = 0; i < 9; ++i) {
        const float a = random.Unit() * 2.0f * kPi;
        sparks.push_back(
            {std::cos(a), std::sin(a), 9.0f + 9.0f * random.Unit(), 0.25f + 0.2f * random.Unit()});
    }
    const TFractalNoise billows(0xB1110Full, kSize, kSize + 60, 9, 3, 0.55f);
    const TFractalNoise mottle(0xB1111ull, kSize, kSize + 60, 6, 3, 0.6f);

    const THardEdge edge{0.5f, 0.45f};
    const auto frames =
        Render(kSize, kSize, kExplosionFrames, 2, edge, [&](int f, float x, float y) {
            // Frame 0 already shows the first flash; the last leaves the final wisps.
            const float t = (static_cast<float>(f) + 0.7f) / static_cast<float>(kExplosionFrames);
            float density = 0.0f;
            float heat = 0.0f;
            for (const TPuff& p : puffs) {
                if (t < p.Born)
                    continue;
                const float age = (t - p.Born) / (1.0f - p.Born + 1e-3f);
                const float out = (1.0f - std::exp(-4.5f * age)) / (1.0f - std::exp(-4.5f));
                const float px = p.X0 + p.VX * out;
                const float py = p.Y0 + p.VY * out - p.Rise * age * age;
                const float r = p.Radius * (0.9f + 1.4f * std::sqrt(age));
                const float dx = x - px;
                const float dy = y - py;
                const float q = (dx * dx + dy * dy) / (r * r);
                if (q >= 1.0f)
                    continue;
                const float k = (1.0f - q) * (1.0f - q);
                // The gas thins as it spreads; the last frames leave only wisps.
                const float w =
                    (1.0f - SmoothStep(0.3f, 1.0f, t) * 0.95f) * std::min(1.0f, age * 6.0f + 0.35f);
                density += w * k;
                heat += w * k * p.Heat * std::exp(-p.Cooling * age);
            }
            const float n = billows.Sample(x, y + t * 28.0f);
            density *= 0.55f + 0.9f * (0.5f + 0.5f * n);
            TColor c;
            if (density > 1e-4f) {
                float temp = heat / (density + 1e-4f);
                // The middle of a dense hot cloud glows brighter than its edge.
                temp = Clamp01(temp * (0.55f + 0.6f * Clamp01(density)) +
                               0.2f * mottle.Sample(x, y + t * 20.0f) * temp);
                TColor gas = kFireRamp(temp);
                const float alpha = 1.0f - std::exp(-2.6f * density);
                c = TColor::WithAlpha(gas.R, gas.G, gas.B, alpha);
            }
            // Sparks: short bright streaks flying outwards.
            for (const TSpark& s : sparks) {
                if (t > s.Life)
                    continue;
                const float d = s.Speed * 3.2f * t / s.Life * 0.55f + 6.0f;
                const float sx = kOriginX + s.DX * d;
                const float sy = kOriginY + s.DY * d;
                const float along = (x - sx) * s.DX + (y - sy) * s.DY;
                const float across = std::fabs((x - sx) * s.DY - (y - sy) * s.DX);
                if (along > -2.5f && along < 1.0f && across < 0.7f) {
                    const float fade = 1.0f - t / s.Life;
                    c = Over(Glow(kFireRamp, 0.75f + 0.25f * fade, 1.5f), c);
                }
            }
            return c;
        });
    return LayOutPatterns(frames, 8);
}

// ---------------------------------------------------------------------------
// Plasma burst: a white core collapsing while a blue shock ring runs outwards
// and breaks into sparks.

TArtImage PlasmaExplosion() {
    constexpr int kSize = 48;
    constexpr float kC = 24.0f;
    const TFractalNoise breakup(0x9A51ull, 64, 64, 8, 2, 0.5f);
    TRandom random(0x9A52ull);
    std::array<float, 12> sparkAngle{};
    for (float& a : sparkAngle)
        a = random.Unit() * 2.0f * kPi;

    const THardEdge edge{0.5f, 0.5f};
    const auto frames =
        Render(kSize, kSize, kPlasmaExplosionFrames, 3, edge, [&](int f, float x, float y) {
            const float t = static_cast<float>(f) / static_cast<float>(kPlasmaExplosionFrames - 1);
            const float dx = x - kC;
            const float dy = y - kC;
            const float d = std::sqrt(dx * dx + dy * dy);
            const float ang = std::atan2(dy, dx);
            float i = 0.0f;
            const float coreR = 5.0f + 7.0f * t;
            i += std::pow(1.0f - t, 2.6f) * 1.3f * std::exp(-(d * d) / (coreR * coreR));
            const float ringR = 4.0f + 17.0f * std::sqrt(t);
            const float ringW = 1.6f + 1.8f * t;
            const float ring = std::exp(-((d - ringR) * (d - ringR)) / (ringW * ringW));
            const float broken =
                0.55f + 0.45f * breakup.Sample(std::cos(ang) * 10.0f + 32.0f + t * 7.0f,
                                               std::sin(ang) * 10.0f + 32.0f);
            i += ring * std::pow(1.0f - t, 0.9f) * (t < 0.4f ? 1.0f : broken) * 1.1f;
            for (float a : sparkAngle) {
                const float sr = ringR * 1.12f + 1.0f;
                const float sx = kC + std::cos(a) * sr;
                const float sy = kC + std::sin(a) * sr;
                const float sd = (x - sx) * (x - sx) + (y - sy) * (y - sy);
                i += std::exp(-sd / 1.1f) * (1.0f - t) * (t > 0.15f ? 1.0f : 0.0f);
            }
            return Glow(kPlasmaRamp, i, 2.0f);
        });
    return LayOutPatterns(frames, 8);
}

// ---------------------------------------------------------------------------
// Exhaust flames: a tapering jet from the nozzle, white-hot at the root and
// reddening to a ragged tip; turbulence makes the four frames flicker.

std::vector<TArtImage> Flame(uint64_t seed, const TRamp& ramp, float lengthScale) {
    constexpr float kRootX = 25.0f;
    constexpr float kRootY = 33.0f;
    const TFractalNoise turbulence(seed, 64, 64, 8, 3, 0.55f);
    TRandom random(seed + 1);
    std::array<float, kEngineFireFrames> length{};
    for (float& l : length)
        l = (19.0f + 5.0f * random.Unit()) * lengthScale;

    const THardEdge edge{0.5f, 0.35f};
    return Render(32, 64, kEngineFireFrames, 3, edge, [&](int f, float x, float y) {
        const float L = length[static_cast<size_t>(f)];
        const float s = (kRootX - x) / L; // 0 at the nozzle, 1 at the tip
        if (s < -0.08f || s > 1.15f)
            return TColor{};
        const float phase = static_cast<float>(f) * 9.0f;
        const float wobble = 0.9f * turbulence.Sample(x * 1.3f + phase, 5.0f) * s;
        const float half = 4.3f * std::pow(Clamp01(1.0f - s * 0.92f), 0.75f) *
                           (1.0f + 0.25f * std::sin(s * 9.0f + phase));
        const float q = std::fabs(y - kRootY - wobble) / std::max(half, 0.3f);
        const float rag = 0.18f * turbulence.Sample(x * 2.0f + phase, y * 2.0f);
        const float body =
            Clamp01(1.0f - q * q + rag) * Clamp01((1.08f - s) * 4.0f) * Clamp01((s + 0.08f) * 8.0f);
        const float core = std::exp(-q * q * 3.0f) * std::exp(-s * 2.6f);
        const float heat = Clamp01(0.25f + 0.55f * core + 0.35f * (1.0f - s)) * body;
        const TColor c = ramp(heat);
        return TColor::WithAlpha(c.R, c.G, c.B, Clamp01(body * 1.6f));
    });
}

// ---------------------------------------------------------------------------
// Muzzle flashes: a bright core with spikes, strongest along the shot.

struct TSpike {
    float Angle;  // radians, 0 along the shot
    float Length; // pixels at full size
    float Width;
};

std::vector<TArtImage> MuzzleFlash(int w, int h, float rootX, float rootY, const TRamp& ramp,
                                   const std::vector<TSpike>& spikes, float coreRX, float coreRY,
                                   bool ring) {
    constexpr std::array<float, kMuzzleFrames> kSize{0.65f, 1.0f, 0.9f, 0.72f, 0.5f};
    constexpr std::array<float, kMuzzleFrames> kPower{0.95f, 1.0f, 0.8f, 0.55f, 0.32f};
    const THardEdge edge{0.5f, 0.45f};
    return Render(w, h, kMuzzleFrames, 3, edge, [&](int f, float x, float y) {
        const float size = kSize[static_cast<size_t>(f)];
        const float power = kPower[static_cast<size_t>(f)];
        const float dx = x - rootX;
        const float dy = y - rootY;
        const float ex = (dx - coreRX * 0.45f * size) / (coreRX * size);
        const float ey = dy / (coreRY * size);
        float i = 1.2f * std::exp(-(ex * ex + ey * ey) * 1.6f);
        for (const TSpike& s : spikes) {
            const float ca = std::cos(s.Angle);
            const float sa = std::sin(s.Angle);
            const float along = dx * ca + dy * sa;
            const float across = std::fabs(-dx * sa + dy * ca);
            const float len = s.Length * size;
            if (along < 0.0f || along > len)
                continue;
            const float taper = 1.0f - along / len;
            const float width = s.Width * taper + 0.45f;
            i += taper * std::exp(-(across * across) / (width * width));
        }
        if (ring) {
            const float d = std::sqrt(dx * dx + dy * dy);
            const float r = 4.0f + 7.0f * static_cast<float>(f) / 4.0f;
            i += 0.6f * std::exp(-((d - r) * (d - r)) / 1.5f) *
                 (1.0f - static_cast<float>(f) / 5.0f);
        }
        // Thin spikes would show only the ramp's dull end; lift their colour.
        const float lit = i * power;
        const TColor c = ramp(Clamp01(std::sqrt(lit) * 0.95f));
        return TColor::WithAlpha(c.R, c.G, c.B, Clamp01(lit * 3.2f));
    });
}

const std::vector<TSpike> kLaserSpikes{
    {0.0f, 19.0f, 1.5f},   {0.45f, 13.0f, 0.9f}, {-0.45f, 13.0f, 0.9f}, {1.57f, 10.0f, 0.8f},
    {-1.57f, 10.0f, 0.8f}, {2.5f, 6.0f, 0.7f},   {-2.5f, 6.0f, 0.7f}};
const std::vector<TSpike> kPlasmaSpikes{{0.0f, 16.0f, 1.8f},  {0.7f, 11.0f, 1.0f},
                                        {-0.7f, 11.0f, 1.0f}, {1.8f, 8.0f, 0.8f},
                                        {-1.8f, 8.0f, 0.8f},  {3.14f, 5.0f, 0.8f}};

std::vector<TSpike> Reversed(const std::vector<TSpike>& spikes) {
    std::vector<TSpike> out;
    for (const TSpike& s : spikes)
        out.push_back({s.Angle + kPi, s.Length, s.Width});
    return out;
}

// ---------------------------------------------------------------------------
// Rail beam: a white-hot line inside a blue sheath, with a double helix winding
// round it every 12 pixels (so the 24-pixel body repeats seamlessly).

constexpr int kRailWidth = 24;
constexpr int kRailHeight = 6;

float RailBeam(int frame, float x, float y) {
    const float cy = 3.0f;
    const float dy = y - cy;
    const float phase = static_cast<float>(frame) * kPi * 0.5f;
    float i = 1.1f * std::exp(-dy * dy / 0.55f) + 0.55f * std::exp(-dy * dy / 3.2f);
    for (int strand = 0; strand < 2; ++strand) {
        const float hy =
            2.1f * std::sin(2.0f * kPi * x / 12.0f + phase + static_cast<float>(strand) * kPi);
        const float depth = 0.55f + 0.45f * std::cos(2.0f * kPi * x / 12.0f + phase +
                                                     static_cast<float>(strand) * kPi);
        i += 0.7f * depth * std::exp(-(dy - hy) * (dy - hy) / 0.45f);
    }
    return i;
}

std::vector<TArtImage> RailFrames(bool head) {
    const THardEdge edge{0.5f, 0.4f};
    return Render(kRailWidth, kRailHeight, kRailFrames, 4, edge, [&](int f, float x, float y) {
        float i = RailBeam(f, x, y);
        if (head) {
            // The head flares into a bright point at its front and ends there.
            const float tipX = 20.5f;
            const float d2 = (x - tipX) * (x - tipX) * 0.35f + (y - 3.0f) * (y - 3.0f);
            i += 1.3f * std::exp(-d2 / 2.2f);
            if (x > tipX)
                i *= Clamp01(1.0f - (x - tipX) / 3.2f);
        }
        return Glow(kPlasmaRamp, i, 2.0f);
    });
}

} // namespace

TArtImage MakeExplosion() {
    return Explosion();
}
TArtImage MakePlasmaExplosion() {
    return PlasmaExplosion();
}

TArtImage MakeEngineFire() {
    return LayOutPatterns(Flame(0xF1A3Eull, kFlameRamp, 1.0f), 4);
}
TArtImage MakeEngineFireR() {
    return LayOutPatterns(MirroredX(Flame(0xF1A3Full, kEnemyFlameRamp, 0.9f)), 4);
}

TArtImage MakeLaserFire() {
    return LayOutPatterns(
        MuzzleFlash(48, 60, 30.0f, 32.0f, kLaserRamp, kLaserSpikes, 5.5f, 3.8f, false), 5);
}
TArtImage MakePlasmaFire() {
    return LayOutPatterns(
        MuzzleFlash(48, 60, 26.0f, 12.0f, kPlasmaRamp, kPlasmaSpikes, 5.0f, 4.8f, true), 5);
}
TArtImage MakeLaserFireR() {
    return LayOutPatterns(
        MuzzleFlash(40, 40, 31.0f, 31.0f, kLaserRamp, Reversed(kLaserSpikes), -4.8f, 3.4f, false),
        5);
}
TArtImage MakePlasmaFireR() {
    return LayOutPatterns(
        MuzzleFlash(40, 40, 31.0f, 12.0f, kPlasmaRamp, Reversed(kPlasmaSpikes), -4.4f, 4.2f, true),
        5);
}

TArtImage MakePlayerShield() {
    // Part of a circle round the ship's middle, which lies 34 pixels left of this picture.
    constexpr float kCX = -34.0f;
    constexpr float kCY = 29.5f;
    constexpr float kR = 52.0f;
    const TFractalNoise shimmer(0x5E1Dull, 60, 120, 6, 3, 0.5f);
    const THardEdge edge{0.5f, 0.5f};
    const auto frames = Render(30, 60, kShieldFrames, 3, edge, [&](int f, float x, float y) {
        const float dx = x - kCX;
        const float dy = y - kCY;
        const float d = std::sqrt(dx * dx + dy * dy);
        const float band = d - kR;
        const float ends = SmoothStep(29.5f, 18.0f, std::fabs(dy));
        const float s = 0.65f + 0.5f * shimmer.Sample(y * 1.5f + static_cast<float>(f) * 17.0f,
                                                      band * 2.0f + 40.0f);
        float i = 1.15f * std::exp(-band * band / 1.1f); // the bright edge
        i += 0.6f * std::exp(-band * band / 14.0f) * s;  // its glow
        if (band < 0.0f)
            i += 0.28f * std::exp(band / 5.0f) * s; // a faint field behind it
        return Glow(kPlasmaRamp, i * ends, 1.8f);
    });
    return LayOutPatterns(frames, 2);
}

TArtImage MakePlasmaBullet() {
    const TFractalNoise swirl(0xB0115ull, 40, 40, 5, 2, 0.5f);
    const THardEdge edge{0.5f, 0.5f};
    const auto frames = Render(20, 20, kPlasmaBulletFrames, 3, edge, [&](int f, float x, float y) {
        const float pulse = std::sin(2.0f * kPi * static_cast<float>(f) / kPlasmaBulletFrames);
        const float r = 6.4f + 1.3f * pulse;
        const float dx = x - 10.0f;
        const float dy = y - 10.0f;
        const float d = std::sqrt(dx * dx + dy * dy);
        const float ang = std::atan2(dy, dx) + static_cast<float>(f) * 0.8f;
        const float n =
            swirl.Sample(std::cos(ang) * d * 0.6f + 20.0f, std::sin(ang) * d * 0.6f + 20.0f);
        float i = std::exp(-(d * d) / (r * r) * 1.6f) * (1.05f + 0.2f * pulse) +
                  0.18f * n * Clamp01(1.0f - d / r);
        i += 0.35f * std::exp(-(d - r * 0.8f) * (d - r * 0.8f) / 2.0f);
        return Glow(kPlasmaRamp, i, 1.9f);
    });
    return LayOutPatterns(frames, 4);
}

TArtImage MakeRailBullet() {
    return LayOutPatterns(RailFrames(true), 1);
}
TArtImage MakeRailBulletR() {
    return LayOutPatterns(MirroredX(RailFrames(true)), 1);
}
TArtImage MakeRailBulletBody() {
    return LayOutPatterns(RailFrames(false), 1);
}

} // namespace vantorel::artgen

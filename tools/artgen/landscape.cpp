#include "tools/artgen/landscape.hpp"

#include "tools/artgen/noise.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace vantorel::artgen {

namespace {

constexpr int kSkyWidth = 160;
constexpr int kSkyHeight = 600;
constexpr int kHillsWidth = 800;

struct TStop {
    float Y;
    uint32_t Rgb;
};

// The sky from the zenith to the horizon behind the hills.
constexpr std::array<TStop, 8> kSkyStops{{{0, 0x070a22},
                                          {110, 0x141743},
                                          {240, 0x31275f},
                                          {340, 0x5a2f6b},
                                          {420, 0x9a4370},
                                          {480, 0xd7636a},
                                          {540, 0xf5955c},
                                          {600, 0xffc872}}};

TColor Gradient(float y) {
    if (y <= kSkyStops.front().Y)
        return TColor::Hex(kSkyStops.front().Rgb);
    for (size_t i = 1; i < kSkyStops.size(); ++i)
        if (y <= kSkyStops[i].Y) {
            const float t = (y - kSkyStops[i - 1].Y) / (kSkyStops[i].Y - kSkyStops[i - 1].Y);
            return Mix(TColor::Hex(kSkyStops[i - 1].Rgb), TColor::Hex(kSkyStops[i].Rgb),
                       SmoothStep(0, 1, t));
        }
    return TColor::Hex(kSkyStops.back().Rgb);
}

int WrapX(int x, int width) {
    const int m = x % width;
    return m < 0 ? m + width : m;
}

} // namespace

TColor SkyColorAt(float y) {
    return Gradient(y);
}

TArtImage MakeSkyTile() {
    TArtImage sky(kSkyWidth, kSkyHeight);
    TRandom dither(0x5C1D17E5ull);
    for (int y = 0; y < kSkyHeight; ++y) {
        const TColor c = Gradient(static_cast<float>(y));
        for (int x = 0; x < kSkyWidth; ++x)
            sky.At(x, y) = c;
    }

    // Stars: the tile repeats every 160 pixels, so keep them few, faint and small,
    // and high up where the sky is darkest.
    TRandom stars(0x57A25ull);
    for (int i = 0; i < 9; ++i) {
        const int x = static_cast<int>(stars.Unit() * kSkyWidth);
        const float yf = 6.0f + stars.Unit() * stars.Unit() * 230.0f;
        const int y = static_cast<int>(yf);
        const float bright = (0.3f + 0.6f * stars.Unit()) * (1.0f - yf / 260.0f);
        const TColor star = TColor::WithAlpha(0.85f, 0.88f, 1.0f, bright);
        sky.Blend(x, y, star);
        if (bright > 0.6f) {
            const TColor halo = TColor::WithAlpha(0.7f, 0.75f, 1.0f, bright * 0.25f);
            sky.Blend(WrapX(x - 1, kSkyWidth), y, halo);
            sky.Blend(WrapX(x + 1, kSkyWidth), y, halo);
            sky.Blend(x, y - 1, halo);
            sky.Blend(x, y + 1, halo);
        }
    }

    // A faint warm glow over the horizon, where the sun has just gone down.
    for (int y = 380; y < kSkyHeight; ++y) {
        const float t = (static_cast<float>(y) - 520.0f) / 70.0f;
        const float glow = 0.10f * std::exp(-t * t);
        for (int x = 0; x < kSkyWidth; ++x)
            sky.Add(x, y, TColor{glow, glow * 0.65f, glow * 0.35f, 0.0f});
    }

    // Clouds: a few long soft streaks, each running across the whole tile and on
    // into the next, so the repeat every 160 pixels reads as continuous bands. They
    // differ in height, thickness and strength; along its length a streak only
    // drifts and swells gently (a streak that thinned out to nothing would break
    // into a row of identical dashes across the screen).
    struct TStreak {
        float Y, Thickness, Strength;
    };
    constexpr std::array<TStreak, 7> kStreaks{{{150, 3.0f, 0.30f},
                                               {230, 9.0f, 0.42f},
                                               {300, 15.0f, 0.55f},
                                               {326, 4.0f, 0.32f},
                                               {392, 22.0f, 0.60f},
                                               {446, 7.0f, 0.55f},
                                               {474, 24.0f, 0.42f}}};
    std::vector<TPeriodicNoise1D> drift;
    std::vector<TPeriodicNoise1D> swell;
    for (size_t i = 0; i < kStreaks.size(); ++i) {
        drift.emplace_back(0xC10E0ull + i, kSkyWidth, 1, 2, 0.4f);
        swell.emplace_back(0xC10F0ull + i, kSkyWidth, 2, 2, 0.5f);
    }
    // Long wisps inside the streaks, much wider than tall.
    const TFractalNoise wisps(0xC10D6ull, kSkyWidth, kSkyHeight, 3, 4, 0.55f, 0.2f);
    auto density = [&](float x, float y) {
        float d = 0.0f;
        for (size_t i = 0; i < kStreaks.size(); ++i) {
            const TStreak& s = kStreaks[i];
            const float centre = s.Y + (1.0f + 0.25f * s.Thickness) * drift[i].Sample(x);
            const float thick = s.Thickness * (1.0f + 0.35f * swell[i].Sample(x));
            const float t = (y - centre) / thick;
            // Flatter underneath than on top, like a layer resting on warmer air.
            const float k = t > 0.0f ? t * 1.3f : t;
            d += s.Strength * std::exp(-k * k);
        }
        return Clamp01(d * (0.85f + 0.9f * wisps.Sample(x, y)));
    };
    for (int y = 0; y < kSkyHeight; ++y) {
        const float fy = static_cast<float>(y);
        const float low = SmoothStep(200.0f, 470.0f, fy);
        const TColor shadowSide = Mix(TColor::Hex(0x3c3470), TColor::Hex(0xa04a72), low);
        const TColor litSide = Mix(TColor::Hex(0xa880b8), TColor::Hex(0xffb888), low);
        for (int x = 0; x < kSkyWidth; ++x) {
            const float fx = static_cast<float>(x);
            const float d = density(fx, fy);
            if (d <= 0.002f)
                continue;
            // Lit from below by the sun under the horizon: the underside glows.
            const float below = density(fx, fy + 3.0f);
            const float rim = Clamp01((d - below) * 2.5f + 0.2f + 0.25f * low);
            const TColor c = Mix(shadowSide, litSide, rim);
            sky.At(x, y) = Over(TColor::WithAlpha(c.R, c.G, c.B, Clamp01(d * 0.9f)), sky.At(x, y));
        }
    }

    for (int y = 0; y < kSkyHeight; ++y)
        for (int x = 0; x < kSkyWidth; ++x) {
            TColor& p = sky.At(x, y);
            const float d = (dither.Unit() - 0.5f) / 255.0f;
            p = {p.R + d, p.G + d, p.B + d, 1.0f};
        }
    return sky;
}

namespace {

struct THillLayer {
    int Height;
    int ScreenY; // where the game draws it
    uint64_t Seed;
    float RidgeBase;      // mean ridge row
    float RidgeAmplitude; // rows up and down from the mean
    float Peakiness;      // 0 rolling, 1 sharp ridged peaks
    uint32_t Near;        // colour just under the ridge
    uint32_t Deep;        // colour at the bottom
    float Haze;           // how far it fades into the sky's horizon colour
    float Rim;            // strength of the warm light along the ridge
    float Texture;        // strength of the ground texture
    uint32_t Soil;        // colour of the bare patches
    float Relief;         // strength of the lit bumps, tufts and rocks (0 none)
    uint32_t Rock;        // colour of the outcrops
};

// Layer 1 carries the crisp detail; further away the relief flattens and the
// colours sink into the haze.
constexpr std::array<THillLayer, 3> kLayers{{
    {115, 485, 0x4111Aull, 50.0f, 11.0f, 0.15f, 0x2f3d26, 0x0f140d, 0.05f, 0.85f, 0.22f, 0x3e3426,
     1.0f, 0x4a4438},
    {105, 495, 0x4122Bull, 25.0f, 14.0f, 0.40f, 0x3b3152, 0x1d1a30, 0.25f, 0.50f, 0.14f, 0x40304a,
     0.45f, 0x4a4060},
    {102, 498, 0x4133Cull, 15.0f, 16.0f, 0.9f, 0x5e4672, 0x3a2c52, 0.48f, 0.32f, 0.08f, 0x5a4068,
     0.15f, 0x6a5680},
}};

float Ridge(const THillLayer& layer, const TPeriodicNoise1D& broad, const TPeriodicNoise1D& fine,
            float x) {
    const float b = broad.Sample(x);
    const float peaks = 1.0f - std::fabs(b) * 2.0f; // ridged: sharp crests
    const float shape = (1.0f - layer.Peakiness) * b * 1.6f + layer.Peakiness * peaks;
    return layer.RidgeBase - layer.RidgeAmplitude * shape + 2.5f * fine.Sample(x);
}

// Turns the tall narrow tuft noise into blades: a sharp light or dark stroke.
float GrassStroke(float v) {
    return std::clamp(v * 4.0f, -1.0f, 1.0f);
}

// A dark conifer silhouette standing on the ridge at column cx, base row by.
void DrawTree(TArtImage& image, int cx, float by, float height, const TColor& color) {
    const int w = image.Width();
    const int top = static_cast<int>(by - height);
    for (int y = std::max(0, top); y <= static_cast<int>(by) + 2 && y < image.Height(); ++y) {
        const float t = (static_cast<float>(y) - (by - height)) / height; // 0 at the tip
        // Three tiers of branches, each widening downwards.
        const float tier = std::fmod(t * 3.0f, 1.0f);
        const float half = std::max(0.5f, (0.35f * t + 0.22f * tier) * height * 0.5f);
        for (int dx = -static_cast<int>(half); dx <= static_cast<int>(half); ++dx)
            image.At(WrapX(cx + dx, w), y) = color;
    }
}

} // namespace

TArtImage MakeHills(int layer) {
    const THillLayer& L = kLayers[static_cast<size_t>(std::clamp(layer, 1, 3) - 1)];
    TArtImage hills(kHillsWidth, L.Height);
    TRandom grainRandom(L.Seed + 7);
    const TPeriodicNoise1D broad(L.Seed, kHillsWidth, 5, 4, 0.45f);
    const TPeriodicNoise1D fine(L.Seed + 1, kHillsWidth, 40, 3, 0.5f);
    const TFractalNoise ground(L.Seed + 2, kHillsWidth, L.Height, 70, 4, 0.6f, 0.4f);
    const TFractalNoise blotches(L.Seed + 3, kHillsWidth, L.Height, 28, 3, 0.5f, 0.5f);
    const TColor haze = SkyColorAt(static_cast<float>(L.ScreenY) + 10.0f);
    const TColor rimLight = TColor::Hex(0xffa860);

    std::vector<float> ridge(kHillsWidth);
    for (int x = 0; x < kHillsWidth; ++x)
        ridge[static_cast<size_t>(x)] = Ridge(L, broad, fine, static_cast<float>(x));

    // The relief: a bump field lit from the low sun on the right, lumps wider than
    // tall as ground seen at a grazing angle; narrow tall tufts of grass; outcrops
    // of layered rock where the blotch field is high.
    const TFractalNoise bumps(L.Seed + 4, kHillsWidth, L.Height, 130, 3, 0.55f, 0.6f);
    const TFractalNoise tufts(L.Seed + 5, kHillsWidth, L.Height, 260, 2, 0.5f, 2.5f);
    const TFractalNoise strata(L.Seed + 6, kHillsWidth, L.Height, 40, 2, 0.5f, 0.08f);
    auto bump = [&](int x, int y) {
        return bumps.Sample(static_cast<float>(WrapX(x, kHillsWidth)), static_cast<float>(y));
    };

    for (int x = 0; x < kHillsWidth; ++x) {
        const float r = ridge[static_cast<size_t>(x)];
        // Slope facing the low sun (rising to the right) catches more light.
        const float slope = ridge[static_cast<size_t>(WrapX(x + 3, kHillsWidth))] -
                            ridge[static_cast<size_t>(WrapX(x - 3, kHillsWidth))];
        const float facing = Clamp01(slope * 0.3f + 0.5f);
        for (int y = 0; y < L.Height; ++y) {
            const float fy = static_cast<float>(y);
            if (fy < r)
                continue;
            const float fx = static_cast<float>(x);
            const float below = fy - r;
            const float depth =
                Clamp01(below / static_cast<float>(L.Height - static_cast<int>(L.RidgeBase) + 10));
            TColor c = Mix(TColor::Hex(L.Near), TColor::Hex(L.Deep), SmoothStep(0.0f, 1.0f, depth));
            const float n = ground.Sample(fx, fy);
            const float m = blotches.Sample(fx, fy);
            const float grain = grainRandom.Unit() - 0.5f;
            // Patches of bare earth among the grass.
            const TColor soil = Mix(c, TColor::Hex(L.Soil), 0.55f);
            c = Mix(c, soil, SmoothStep(-0.05f, 0.35f, m));
            // Outcrops: hard-edged, banded rock.
            const float rockiness = SmoothStep(0.30f, 0.36f, m + 0.25f * n);
            if (rockiness > 0.0f && L.Relief > 0.0f) {
                const float band = strata.Sample(fx, fy);
                TColor rock = Mix(TColor::Hex(L.Rock), TColor::Hex(L.Deep), 0.35f * depth);
                rock = rock * (0.75f + 0.35f * SmoothStep(-0.1f, 0.1f, band));
                rock.A = 1.0f;
                c = Mix(c, rock, rockiness * std::min(1.0f, L.Relief * 1.5f));
            }
            // Light on the bumps: their slopes facing up and to the right are lit.
            const float gx = bump(x + 1, y) - bump(x - 1, y);
            const float gy = bump(x, y + 1) - bump(x, y - 1);
            const float lit = std::clamp((-gx * 0.8f + gy * 0.6f) * 9.0f, -1.0f, 1.0f);
            const float tuft = GrassStroke(tufts.Sample(fx, fy)) * (1.0f - rockiness);
            const float shade = 1.0f + L.Texture * (n * 0.8f + grain * 0.2f) +
                                L.Relief * (0.24f * lit + 0.2f * tuft) * (1.0f - 0.6f * depth);
            c = {c.R * shade, c.G * shade, c.B * shade, 1.0f};
            // The ridge line: a crisp bright edge of sunlight, then a soft fall-off.
            const float rim = (0.75f * std::exp(-below / 1.1f) + 0.25f * std::exp(-below / 5.0f)) *
                              L.Rim * (0.6f + 0.4f * facing);
            c = Mix(c, rimLight, Clamp01(rim));
            c = Mix(c, haze, L.Haze * (1.0f - 0.5f * depth));
            c.A = 1.0f;
            hills.At(x, y) = c;
        }
    }

    // Scattered conifers on the two nearer layers give the hills their scale.
    if (layer <= 2) {
        TRandom trees(L.Seed + 9);
        const int groups = layer == 1 ? 5 : 7;
        TColor treeColor = layer == 1 ? TColor::Hex(0x0c120e) : TColor::Hex(0x241f3a);
        treeColor = Mix(treeColor, haze, L.Haze * 0.6f);
        treeColor.A = 1.0f;
        for (int g = 0; g < groups; ++g) {
            const int cx = static_cast<int>(trees.Unit() * kHillsWidth);
            const int count = 2 + static_cast<int>(trees.Unit() * 5.0f);
            for (int t = 0; t < count; ++t) {
                const int tx = WrapX(cx + static_cast<int>(trees.Gauss() * 9.0f), kHillsWidth);
                const float height = (layer == 1 ? 9.0f : 7.0f) * (0.7f + 0.6f * trees.Unit());
                DrawTree(hills, tx, ridge[static_cast<size_t>(tx)] + 1.5f, height, treeColor);
            }
        }
    }
    return hills;
}

} // namespace vantorel::artgen

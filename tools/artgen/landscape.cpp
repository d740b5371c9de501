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
    if (y <= kSkyStops.front().Y) return TColor::Hex(kSkyStops.front().Rgb);
    for (size_t i = 1; i < kSkyStops.size(); ++i)
        if (y <= kSkyStops[i].Y) {
            const float t = (y - kSkyStops[i - 1].Y) / (kSkyStops[i].Y - kSkyStops[i - 1].Y);
            return Mix(TColor::Hex(kSkyStops[i - 1].Rgb), TColor::Hex(kSkyStops[i].Rgb), SmoothStep(0, 1, t));
        }
    return TColor::Hex(kSkyStops.back().Rgb);
}

int WrapX(int x, int width) {
    const int m = x % width;
    return m < 0 ? m + width : m;
}

} // namespace

TColor SkyColorAt(float y) { return Gradient(y); }

TArtImage MakeSkyTile() {
    TArtImage sky(kSkyWidth, kSkyHeight);
    TRandom dither(0x5C1D17E5ull);
    for (int y = 0; y < kSkyHeight; ++y) {
        const TColor c = Gradient(static_cast<float>(y));
        for (int x = 0; x < kSkyWidth; ++x) sky.At(x, y) = c;
    }

    // Stars: the tile repeats every 160 pixels, so keep them few, faint and small.
    TRandom stars(0x57A25ull);
    for (int i = 0; i < 14; ++i) {
        const int x = static_cast<int>(stars.Unit() * kSkyWidth);
        const float yf = stars.Unit() * stars.Unit() * 300.0f;
        const int y = static_cast<int>(yf);
        const float bright = (0.35f + 0.6f * stars.Unit()) * (1.0f - yf / 320.0f);
        const TColor star = TColor::WithAlpha(0.85f, 0.88f, 1.0f, bright);
        sky.Blend(x, y, star);
        if (bright > 0.7f) {
            const TColor halo = TColor::WithAlpha(0.7f, 0.75f, 1.0f, bright * 0.3f);
            sky.Blend(WrapX(x - 1, kSkyWidth), y, halo);
            sky.Blend(WrapX(x + 1, kSkyWidth), y, halo);
            if (y > 0) sky.Blend(x, y - 1, halo);
            sky.Blend(x, y + 1, halo);
        }
    }

    // Clouds: long thin bands that run across the whole tile, so the tile's repeat
    // every 160 pixels reads as one continuous layer rather than a row of copies.
    // Each band wavers and swells along its length; fine noise frays it.
    struct TBand {
        float Y, Thickness, Strength;
    };
    std::vector<TBand> cloudBands;
    TRandom bandRandom(0xC10D5ull);
    for (float y = 185.0f; y < 480.0f; y += 26.0f + 22.0f * bandRandom.Unit())
        cloudBands.push_back({y + 6.0f * bandRandom.Gauss(), 3.0f + 7.0f * bandRandom.Unit() * (y / 480.0f + 0.3f),
                              0.55f + 0.5f * bandRandom.Unit()});
    std::vector<TPeriodicNoise1D> waver;
    std::vector<TPeriodicNoise1D> swell;
    for (size_t i = 0; i < cloudBands.size(); ++i) {
        waver.emplace_back(0xC10E0ull + i, kSkyWidth, 1, 3, 0.5f);
        swell.emplace_back(0xC10F0ull + i, kSkyWidth, 1 + static_cast<int>(i % 3), 4, 0.6f);
    }
    const TFractalNoise fray(0xC10D6ull, kSkyWidth, kSkyHeight, 6, 3, 0.5f, 0.35f);
    auto density = [&](float x, float y) {
        float d = 0.0f;
        for (size_t i = 0; i < cloudBands.size(); ++i) {
            const TBand& b = cloudBands[i];
            const float centre = b.Y + 9.0f * waver[i].Sample(x);
            const float thick = b.Thickness * (0.3f + 1.8f * swell[i].Sample(x));
            if (thick <= 0.2f) continue;
            const float t = (y - centre) / thick;
            d += b.Strength * std::exp(-t * t);
        }
        return Clamp01(d * (0.75f + 1.1f * fray.Sample(x, y)));
    };
    for (int y = 0; y < kSkyHeight; ++y) {
        const float fy = static_cast<float>(y);
        const float low = SmoothStep(200.0f, 470.0f, fy);
        const TColor shadowSide = Mix(TColor::Hex(0x1d1838), TColor::Hex(0x5a2c55), low);
        const TColor litSide = Mix(TColor::Hex(0x8a5a8e), TColor::Hex(0xffb07a), low);
        for (int x = 0; x < kSkyWidth; ++x) {
            const float fx = static_cast<float>(x);
            const float d = density(fx, fy);
            if (d <= 0.0f) continue;
            // Lit from below by the sun under the horizon: the underside glows.
            const float below = density(fx, fy + 5.0f);
            const float rim = Clamp01((d - below) * 2.2f + 0.15f * low);
            const TColor c = Mix(shadowSide, litSide, rim);
            sky.At(x, y) = Over(TColor::WithAlpha(c.R, c.G, c.B, Clamp01(d * 0.92f)), sky.At(x, y));
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
    int ScreenY;           // where the game draws it
    uint64_t Seed;
    float RidgeBase;       // mean ridge row
    float RidgeAmplitude;  // rows up and down from the mean
    float Peakiness;       // 0 rolling, 1 sharp ridged peaks
    uint32_t Near;         // colour just under the ridge
    uint32_t Deep;         // colour at the bottom
    float Haze;            // how far it fades into the sky's horizon colour
    float Rim;             // strength of the warm light along the ridge
    float Texture;         // strength of the ground texture
    uint32_t Soil;         // colour of the bare patches
};

constexpr std::array<THillLayer, 3> kLayers{{
    {115, 485, 0x4111Aull, 50.0f, 11.0f, 0.15f, 0x34402c, 0x10150f, 0.05f, 0.60f, 0.30f, 0x3e3424},
    {105, 495, 0x4122Bull, 25.0f, 14.0f, 0.40f, 0x3b3152, 0x1d1a30, 0.25f, 0.45f, 0.16f, 0x40304a},
    {102, 498, 0x4133Cull, 15.0f, 16.0f, 0.9f, 0x5e4672, 0x3a2c52, 0.48f, 0.30f, 0.08f, 0x5a4068},
}};

float Ridge(const THillLayer& layer, const TPeriodicNoise1D& broad, const TPeriodicNoise1D& fine, float x) {
    const float b = broad.Sample(x);
    const float peaks = 1.0f - std::fabs(b) * 2.0f;      // ridged: sharp crests
    const float shape = (1.0f - layer.Peakiness) * b * 1.6f + layer.Peakiness * peaks;
    return layer.RidgeBase - layer.RidgeAmplitude * shape + 2.5f * fine.Sample(x);
}

// A dark conifer silhouette standing on the ridge at column cx, base row by.
void DrawTree(TArtImage& image, int cx, float by, float height, const TColor& color) {
    const int w = image.Width();
    const int top = static_cast<int>(by - height);
    for (int y = std::max(0, top); y <= static_cast<int>(by) + 2 && y < image.Height(); ++y) {
        const float t = (static_cast<float>(y) - (by - height)) / height;  // 0 at the tip
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
    for (int x = 0; x < kHillsWidth; ++x) ridge[static_cast<size_t>(x)] = Ridge(L, broad, fine, static_cast<float>(x));

    for (int x = 0; x < kHillsWidth; ++x) {
        const float r = ridge[static_cast<size_t>(x)];
        // Slope facing the low sun (rising to the right) catches more light.
        const float slope = ridge[static_cast<size_t>(WrapX(x + 3, kHillsWidth))] -
                            ridge[static_cast<size_t>(WrapX(x - 3, kHillsWidth))];
        for (int y = 0; y < L.Height; ++y) {
            const float fy = static_cast<float>(y);
            if (fy < r) continue;
            const float depth = Clamp01((fy - r) / static_cast<float>(L.Height - static_cast<int>(L.RidgeBase) + 10));
            TColor c = Mix(TColor::Hex(L.Near), TColor::Hex(L.Deep), SmoothStep(0.0f, 1.0f, depth));
            const float n = ground.Sample(static_cast<float>(x), fy);
            const float m = blotches.Sample(static_cast<float>(x), fy);
            const float grain = grainRandom.Unit() - 0.5f;
            const float shade = 1.0f + L.Texture * (n * 1.1f + grain * 0.35f);
            // Patches of bare earth among the grass.
            const TColor soil = Mix(c, TColor::Hex(L.Soil), 0.55f);
            c = Mix(c, soil, SmoothStep(-0.05f, 0.35f, m));
            c = {c.R * shade, c.G * shade, c.B * shade, 1.0f};
            const float rim = std::exp(-(fy - r) / 1.8f) * L.Rim * (0.65f + 0.35f * Clamp01(slope * 0.3f + 0.5f));
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

// The software blitters against SDL's own software blitter on the same pictures.
// Every pair draws the same pixels: ours through TDirectDrawSurface, SDL's through
// SDL_BlitSurface / SDL_BlitScaled / SDL_FillRect on XRGB8888 surfaces with RLE
// colour keys. The "ns/px" counter is the time per pixel of the drawn area.
// Ours runs at every vector level this machine has (the "level" argument: 0
// baseline, 1 AVX2, 2 AVX-512), and a table of ratios to SDL ends the run.
#include "engine/simd_level.hpp"
#include "engine/surface.hpp"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace vantorel {
namespace {

constexpr TPixel kKey = 0xFF00FF;
constexpr int kScreenW = 800;
constexpr int kScreenH = 600;

enum class Mask { Ellipse, Random, Opaque, Hill };

bool Keyed(Mask mask, int x, int y, int w, int h, std::mt19937& rng) {
    switch (mask) {
    case Mask::Ellipse: { // a ship-like body: solid rows, ragged ends
        const double u = (x + 0.5) / w * 2 - 1, v = (y + 0.5) / h * 2 - 1;
        return u * u + v * v > 1;
    }
    case Mask::Random:
        return rng() % 2 == 0;
    case Mask::Opaque:
        return false;
    case Mask::Hill: { // a rolling skyline: the ground below a wavy top edge
        const double top = h * (0.35 + 0.25 * std::sin(x * 0.021) + 0.1 * std::sin(x * 0.093));
        return y < top;
    }
    }
    return false;
}

struct Picture {
    std::unique_ptr<TDirectDrawSurface> ours;
    SDL_Surface* sdl = nullptr;
    int w = 0, h = 0;
    int opaque = 0; // pixels that are not the key
};

using PicturePtr = std::unique_ptr<Picture, void (*)(Picture*)>;

void FreePicture(Picture* p) {
    if (p->sdl)
        SDL_FreeSurface(p->sdl);
    delete p;
}

SDL_Surface* NewSdlSurface(int w, int h) {
    return SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_XRGB8888);
}

PicturePtr MakePicture(int w, int h, Mask mask, bool rle, uint32_t seed = 1) {
    PicturePtr p(new Picture, FreePicture);
    p->w = w;
    p->h = h;
    p->ours = std::make_unique<TDirectDrawSurface>(w, h);
    p->sdl = NewSdlSurface(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(p->sdl->pixels) +
                                                static_cast<std::ptrdiff_t>(y) * p->sdl->pitch);
        for (int x = 0; x < w; ++x) {
            const bool keyed = Keyed(mask, x, y, w, h, rng);
            const TPixel v = keyed ? kKey : (0x203040u + (rng() & 0x3F3F3Fu));
            row[x] = v;
            p->ours->Row(y)[x] = v;
            p->opaque += !keyed;
        }
    }
    p->ours->SetColorKey(kKey);
    if (mask != Mask::Opaque) {
        SDL_SetColorKey(p->sdl, SDL_TRUE, kKey);
        if (rle)
            SDL_SetSurfaceRLE(p->sdl, 1);
    }
    return p;
}

struct Screen {
    TDirectDrawSurface ours{kScreenW, kScreenH};
    SDL_Surface* sdl = NewSdlSurface(kScreenW, kScreenH);
    Screen() {
        ours.Fill(0x102030);
        SDL_FillRect(sdl, nullptr, 0x102030);
    }
    ~Screen() { SDL_FreeSurface(sdl); }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
};

void SdlBlit(SDL_Surface* src, SDL_Surface* dst, int x, int y) {
    SDL_Rect d{x, y, 0, 0};
    SDL_BlitSurface(src, nullptr, dst, &d);
}

void PerPixel(benchmark::State& state, double pixels) {
    state.counters["ns/px"] = benchmark::Counter(
        pixels * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

struct Shape {
    int w, h;
    Mask mask;
};

constexpr Shape kShapes[] = {{110, 46, Mask::Ellipse},
                             {96, 96, Mask::Ellipse},
                             {110, 46, Mask::Random},
                             {96, 96, Mask::Random}};

const Shape& ShapeOf(const benchmark::State& state) {
    return kShapes[static_cast<size_t>(state.range(0))];
}

/// Draws at one vector level for the life of a benchmark, then goes back.
class LevelScope {
public:
    explicit LevelScope(int64_t level) : previous_(ActiveSimdLevel()) {
        SetActiveSimdLevel(static_cast<TSimdLevel>(level));
    }
    ~LevelScope() { SetActiveSimdLevel(previous_); }
    LevelScope(const LevelScope&) = delete;
    LevelScope& operator=(const LevelScope&) = delete;

private:
    TSimdLevel previous_;
};

/// The levels to run ours at: every one up to the machine's (or VANTOREL_SIMD's).
std::vector<int64_t> Levels() {
    std::vector<int64_t> levels;
    for (TSimdLevel level : kSimdLevels)
        if (level <= ActiveSimdLevel())
            levels.push_back(static_cast<int64_t>(level));
    return levels;
}

void ShapeArgs(benchmark::internal::Benchmark* b) {
    for (int i = 0; i < 4; ++i)
        b->Arg(i);
    b->ArgNames({"shape"});
}

void ShapeLevelArgs(benchmark::internal::Benchmark* b) {
    b->ArgsProduct({{0, 1, 2, 3}, Levels()})->ArgNames({"shape", "level"});
}

// --------------------------------------------------------------- colour-key copy

void BM_Keyed_Ours(benchmark::State& state) {
    const Shape& s = ShapeOf(state);
    const LevelScope level(state.range(1));
    auto pic = MakePicture(s.w, s.h, s.mask, true);
    Screen screen;
    const TRect r{0, 0, s.w, s.h};
    for (auto _ : state) {
        screen.ours.Draw(101, 77, *pic->ours, r, true);
        benchmark::ClobberMemory();
    }
    PerPixel(state, s.w * s.h);
}

void BM_Keyed_Sdl(benchmark::State& state) {
    const Shape& s = ShapeOf(state);
    auto pic = MakePicture(s.w, s.h, s.mask, true);
    Screen screen;
    for (auto _ : state) {
        SdlBlit(pic->sdl, screen.sdl, 101, 77);
        benchmark::ClobberMemory();
    }
    PerPixel(state, s.w * s.h);
}

// --------------------------------------------------------------- alpha 128, keyed, 1:1

void BM_Blend128_Ours(benchmark::State& state) {
    const Shape& s = ShapeOf(state);
    const LevelScope level(state.range(1));
    auto pic = MakePicture(s.w, s.h, s.mask, true);
    Screen screen;
    const TRect r{0, 0, s.w, s.h};
    for (auto _ : state) {
        screen.ours.DrawBlended(Bounds(101, 77, s.w, s.h), *pic->ours, r, true, 128);
        benchmark::ClobberMemory();
    }
    PerPixel(state, s.w * s.h);
}

void BM_Blend128_Sdl(benchmark::State& state) {
    const Shape& s = ShapeOf(state);
    auto pic = MakePicture(s.w, s.h, s.mask, true);
    SDL_SetSurfaceBlendMode(pic->sdl, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(pic->sdl, 128);
    Screen screen;
    // make sure SDL really blends here, or the comparison means nothing
    SdlBlit(pic->sdl, screen.sdl, 0, 0);
    const uint32_t probe =
        static_cast<uint32_t*>(screen.sdl->pixels)[s.w / 2 + (s.h / 2) * (screen.sdl->pitch / 4)];
    // (the RLE-encoded SDL surface no longer holds its pixels: read ours)
    const uint32_t source = pic->ours->Row(s.h / 2)[s.w / 2];
    if (source != kKey && (probe & 0xFFFFFF) == (source & 0xFFFFFF)) {
        state.SkipWithError("SDL copied instead of blending");
        return;
    }
    for (auto _ : state) {
        SdlBlit(pic->sdl, screen.sdl, 101, 77);
        benchmark::ClobberMemory();
    }
    PerPixel(state, s.w * s.h);
}

// --------------------------------------------------------------- turned / scaled twice
// Ours turns by 20/256 of a turn at twice the size; SDL has no turn, so its nearest
// equivalent is the scaled copy to the same size (nearest pixel).

void BM_Rotated_Ours(benchmark::State& state) {
    const Shape& s = ShapeOf(state);
    const LevelScope level(state.range(1));
    auto pic = MakePicture(s.w, s.h, s.mask, false);
    Screen screen;
    const TRect r{0, 0, s.w, s.h};
    for (auto _ : state) {
        screen.ours.DrawRotated(400, 300, 2 * s.w, 2 * s.h, *pic->ours, r, 0.5, 0.5, 20, true);
        benchmark::ClobberMemory();
    }
    PerPixel(state, 4.0 * s.w * s.h);
}

void BM_Scaled_Ours(benchmark::State& state) {
    const Shape& s = ShapeOf(state);
    const LevelScope level(state.range(1));
    auto pic = MakePicture(s.w, s.h, s.mask, false);
    Screen screen;
    const TRect r{0, 0, s.w, s.h};
    for (auto _ : state) {
        screen.ours.DrawBlended(Bounds(101, 77, 2 * s.w, 2 * s.h), *pic->ours, r, true, 255);
        benchmark::ClobberMemory();
    }
    PerPixel(state, 4.0 * s.w * s.h);
}

void BM_Scaled_Sdl(benchmark::State& state) {
    const Shape& s = ShapeOf(state);
    const bool keyed = state.range(1) != 0;
    auto pic = MakePicture(s.w, s.h, keyed ? s.mask : Mask::Opaque, false);
    Screen screen;
    for (auto _ : state) {
        SDL_Rect d{101, 77, 2 * s.w, 2 * s.h};
        SDL_BlitScaled(pic->sdl, nullptr, screen.sdl, &d);
        benchmark::ClobberMemory();
    }
    PerPixel(state, 4.0 * s.w * s.h);
}

// --------------------------------------------------------------- fill 800x600

void BM_Fill_Ours(benchmark::State& state) {
    Screen screen;
    const LevelScope level(state.range(1));
    const auto value = static_cast<TPixel>(state.range(0));
    for (auto _ : state) {
        screen.ours.Fill(value);
        benchmark::ClobberMemory();
    }
    PerPixel(state, kScreenW * kScreenH);
}

void BM_Fill_Memset(benchmark::State& state) {
    Screen screen;
    for (auto _ : state) {
        std::memset(screen.ours.Pixels(), 0, sizeof(TPixel) * kScreenW * kScreenH);
        benchmark::ClobberMemory();
    }
    PerPixel(state, kScreenW * kScreenH);
}

void BM_Fill_Sdl(benchmark::State& state) {
    Screen screen;
    const auto value = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        SDL_FillRect(screen.sdl, nullptr, value);
        benchmark::ClobberMemory();
    }
    PerPixel(state, kScreenW * kScreenH);
}

// --------------------------------------------------------------- a whole busy frame

struct Sprite {
    int picture; // index into Frame::sprites
    int x, y;
};

struct Frame {
    PicturePtr sky = MakePicture(160, 600, Mask::Opaque, true, 3);
    PicturePtr hills[3] = {MakePicture(800, 115, Mask::Hill, true, 4),
                           MakePicture(800, 105, Mask::Hill, true, 5),
                           MakePicture(800, 102, Mask::Hill, true, 6)};
    std::vector<PicturePtr> sprites;
    PicturePtr glow = MakePicture(64, 64, Mask::Ellipse, true, 7);
    std::vector<Sprite> keyed;
    std::vector<Sprite> blended;
    int scroll = 37;
    int hillScroll[3] = {211, 420, 650};

    Frame() {
        sprites.push_back(MakePicture(110, 46, Mask::Ellipse, true, 8));
        sprites.push_back(MakePicture(96, 96, Mask::Ellipse, true, 9));
        sprites.push_back(MakePicture(48, 24, Mask::Ellipse, true, 10));
        sprites.push_back(MakePicture(16, 8, Mask::Ellipse, true, 11));
        std::mt19937 rng(12);
        for (int i = 0; i < 60; ++i)
            keyed.push_back(
                {i % 4, static_cast<int>(rng() % 860) - 40, static_cast<int>(rng() % 640) - 40});
        for (int i = 0; i < 10; ++i)
            blended.push_back({0, static_cast<int>(rng() % 760), static_cast<int>(rng() % 560)});
        SDL_SetSurfaceBlendMode(glow->sdl, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceAlphaMod(glow->sdl, 128);
    }
};

void BM_Frame_Ours(benchmark::State& state) {
    const LevelScope level(state.range(0));
    Frame f;
    Screen screen;
    TDirectDrawSurface& back = screen.ours;
    for (auto _ : state) {
        back.Fill(0);
        for (int x = -f.scroll; x < kScreenW; x += 160)
            back.Draw(x, 0, *f.sky->ours, {0, 0, 160, 600}, false);
        for (int i = 0; i < 3; ++i) {
            const Picture& h = *f.hills[i];
            back.Draw(-f.hillScroll[i], kScreenH - h.h, *h.ours, {0, 0, h.w, h.h}, true);
            back.Draw(h.w - f.hillScroll[i], kScreenH - h.h, *h.ours, {0, 0, h.w, h.h}, true);
        }
        for (const Sprite& s : f.keyed) {
            const Picture& p = *f.sprites[static_cast<size_t>(s.picture)];
            back.Draw(s.x, s.y, *p.ours, {0, 0, p.w, p.h}, true);
        }
        for (const Sprite& s : f.blended)
            back.DrawBlended(Bounds(s.x, s.y, 64, 64), *f.glow->ours, {0, 0, 64, 64}, true, 128);
        benchmark::ClobberMemory();
    }
    state.counters["ms/frame"] = benchmark::Counter(
        1e-3, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Frame_Sdl(benchmark::State& state) {
    Frame f;
    Screen screen;
    SDL_Surface* back = screen.sdl;
    for (auto _ : state) {
        SDL_FillRect(back, nullptr, 0);
        for (int x = -f.scroll; x < kScreenW; x += 160)
            SdlBlit(f.sky->sdl, back, x, 0);
        for (int i = 0; i < 3; ++i) {
            const Picture& h = *f.hills[i];
            SdlBlit(h.sdl, back, -f.hillScroll[i], kScreenH - h.h);
            SdlBlit(h.sdl, back, h.w - f.hillScroll[i], kScreenH - h.h);
        }
        for (const Sprite& s : f.keyed)
            SdlBlit(f.sprites[static_cast<size_t>(s.picture)]->sdl, back, s.x, s.y);
        for (const Sprite& s : f.blended)
            SdlBlit(f.glow->sdl, back, s.x, s.y);
        benchmark::ClobberMemory();
    }
    state.counters["ms/frame"] = benchmark::Counter(
        1e-3, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_Keyed_Ours)->Apply(ShapeLevelArgs);
BENCHMARK(BM_Keyed_Sdl)->Apply(ShapeArgs);
BENCHMARK(BM_Blend128_Ours)->Apply(ShapeLevelArgs);
BENCHMARK(BM_Blend128_Sdl)->Apply(ShapeArgs);
BENCHMARK(BM_Rotated_Ours)->Apply(ShapeLevelArgs);
BENCHMARK(BM_Scaled_Ours)->Apply(ShapeLevelArgs);
BENCHMARK(BM_Scaled_Sdl)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->ArgNames({"shape", "keyed"});
BENCHMARK(BM_Fill_Ours)->ArgsProduct({{0, 0x123456}, Levels()})->ArgNames({"value", "level"});
BENCHMARK(BM_Fill_Memset);
BENCHMARK(BM_Fill_Sdl)->Arg(0)->Arg(0x123456);
BENCHMARK(BM_Frame_Ours)->ArgsProduct({Levels()})->ArgNames({"level"});
BENCHMARK(BM_Frame_Sdl);

// ---------------------------------------------------------------- the ratios

/// The console report, then each of ours over its SDL counterpart, from the
/// medians when the run has repetitions (else from the single runs).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            const std::string name = run.run_name.str();
            for (const char* counter : {"ns/px", "ms/frame"}) {
                const auto it = run.counters.find(counter);
                if (it == run.counters.end())
                    continue;
                // a median replaces the mean of the single runs
                if (median || !medians_.count(name))
                    values_[name] = it->second.value;
                if (median)
                    medians_[name] = true;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nours / SDL (below 1: ours is faster)\n%-22s %-10s %s\n", "primitive",
                    "level", "shape 0..3 (fill: value 0, 0x123456)");
        for (int64_t level : Levels()) {
            const std::string at = "/level:" + std::to_string(level);
            const std::string lv(SimdLevelName(static_cast<TSimdLevel>(level)));
            Row("keyed copy", lv, "BM_Keyed_Ours/shape:%d" + at, "BM_Keyed_Sdl/shape:%d");
            Row("blend 128", lv, "BM_Blend128_Ours/shape:%d" + at, "BM_Blend128_Sdl/shape:%d");
            Row("rotated/SDL stretch", lv, "BM_Rotated_Ours/shape:%d" + at,
                "BM_Scaled_Sdl/shape:%d/keyed:0");
            Row("scaled/SDL stretch", lv, "BM_Scaled_Ours/shape:%d" + at,
                "BM_Scaled_Sdl/shape:%d/keyed:0");
            Row("scaled/SDL keyed", lv, "BM_Scaled_Ours/shape:%d" + at,
                "BM_Scaled_Sdl/shape:%d/keyed:1");
            Line("fill/memset", lv,
                 {Ratio("BM_Fill_Ours/value:0" + at, "BM_Fill_Memset"),
                  Ratio("BM_Fill_Ours/value:1193046" + at, "BM_Fill_Memset")});
            Line("frame", lv, {Ratio("BM_Frame_Ours" + at, "BM_Frame_Sdl")});
        }
    }

private:
    double Ratio(const std::string& ours, const std::string& sdl) const {
        const auto a = values_.find(ours);
        const auto b = values_.find(sdl);
        return a == values_.end() || b == values_.end() || b->second <= 0 ? -1
                                                                          : a->second / b->second;
    }

    static std::string Shape(const std::string& pattern, int shape) {
        const size_t at = pattern.find("%d");
        return pattern.substr(0, at) + std::to_string(shape) + pattern.substr(at + 2);
    }

    void Row(const char* what, const std::string& level, const std::string& ours,
             const std::string& sdl) const {
        std::vector<double> ratios;
        for (int shape = 0; shape < 4; ++shape)
            ratios.push_back(Ratio(Shape(ours, shape), Shape(sdl, shape)));
        Line(what, level, ratios);
    }

    static void Line(const char* what, const std::string& level,
                     const std::vector<double>& ratios) {
        std::printf("%-22s %-10s", what, level.c_str());
        for (double r : ratios) {
            if (r < 0)
                std::printf("      -");
            else
                std::printf(" %6.3f", r);
        }
        std::printf("\n");
    }

    std::map<std::string, double> values_;
    std::map<std::string, bool> medians_;
};

} // namespace
} // namespace vantorel

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    vantorel::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

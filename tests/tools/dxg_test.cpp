// Runs the library tool as the data build and a developer do, on libraries
// written independently of it (tests/data/make_fixtures.py).
#include "engine/dib.hpp"
#include "engine/image_library.hpp"
#include "engine/library_stream.hpp"
#include "engine/wave_library.hpp"
#include "support/byte_blobs.hpp"
#include "support/ppm.hpp"
#include "tools/common/png_io.hpp"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vantorel {
namespace {

using test_support::ReadPpm;

namespace fs = std::filesystem;

const std::string kLibs = std::string(VANTOREL_TEST_DATA) + "/libraries/";

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

using test_support::Bytes;
using test_support::Chunk;
using test_support::Riff;
using test_support::operator+;
using test_support::ReadWholeFile;

struct Result {
    int Code = -1;
    std::string Out;
    std::string Err;
};

class DxgTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::path(::testing::TempDir()) /
            ("dxg_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    Result Run(const std::vector<std::string>& args) {
        std::string cmd = Quote(VANTOREL_DXG_TOOL);
        for (const auto& a : args)
            cmd += " " + Quote(a);
        cmd +=
            " >" + Quote((dir_ / "out.txt").string()) + " 2>" + Quote((dir_ / "err.txt").string());
        Result r;
        const int status = std::system(cmd.c_str());
        r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Out = ReadWholeFile(dir_ / "out.txt");
        r.Err = ReadWholeFile(dir_ / "err.txt");
        return r;
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        test_support::WriteWholeFile(dir_ / name, text);
    }

    fs::path dir_;
};

std::vector<uint32_t> Rgb(const TRgbaImage& img) {
    std::vector<uint32_t> px;
    for (uint32_t p : img.Pixels)
        px.push_back(p & 0xFFFFFF);
    return px;
}

const char* const kPictureList = "0\tBits1\t7x3\t1\t1\t#FF00FF\n"
                                 "1\tGr\xC3\xB6\xC3\x9F"
                                 "e\t5x3\t1\t1\t#FF00FF\n"
                                 "2\tCaf\xC3\xA9\xE2\x82\xAC\t5x3\t1\t1\t#FF00FF\n"
                                 "3\tNa\xC3\xAFve16\t5x3\t1\t1\t#FF00FF\n"
                                 "4\tBits16Fields\t5x3\t1\t1\t#FF00FF\n"
                                 "5\tBits24\t5x3\t1\t0\t#FF00FF\n"
                                 "6\tTopDown\t5x3\t1\t1\t#C0C0C0\n"
                                 "7\tBits32\t4x2\t1\t1\t#00FF00\n"
                                 "8\tBits32Fields\t4x2\t1\t1\t#FF00FF\n"
                                 "9\tRle8\t2x2\t6\t1\t#FF00FF\n"
                                 "10\tRle4\t3x3\t2\t1\t#FF00FF\n"
                                 "11\tCore8\t5x3\t1\t1\t#FF00FF\n"
                                 "12\tCore24\t5x3\t1\t1\t#FF00FF\n"
                                 "13\tBitmap\t3x2\t1\t1\t#FF00FF\n"
                                 "14\tUnregistered\t0x0\t0\t1\t#FF00FF\n"
                                 "15\tStrip\t30x4\t3\t1\t#C0C0C0\n";

TEST_F(DxgTool, ListPrintsOneLinePerItem) {
    struct Case {
        const char* File;
        const char* Expected;
    };
    const Case cases[] = {
        {"pictures.dxg", kPictureList},
        {"pictures_pos.dxg", kPictureList},
        {"sounds.dxw", "0\tLaser\t0\t0\t1\t22050\t16\t200\n"
                       "1\tEngine\t1\t1\t2\t11025\t8\t64\n"},
    };
    for (const auto& c : cases) {
        const Result r = Run({"list", kLibs + c.File});
        EXPECT_EQ(r.Code, 0) << c.File << ": " << r.Err;
        EXPECT_EQ(r.Out, c.Expected) << c.File;
    }
}

TEST_F(DxgTool, ExportWritesEveryPictureAsPngAtFullSize) {
    std::ifstream index(kLibs + "expected/pictures.tsv");
    std::string line;
    int exported = 0;
    while (std::getline(index, line)) {
        const auto tab = line.find('\t');
        const std::string name = line.substr(0, tab);
        const Result r = Run({"export", kLibs + "pictures.dxg", name, Path("p.png")});
        ASSERT_EQ(r.Code, 0) << name << ": " << r.Err;
        const TRgbaImage png = ReadPng(Path("p.png"));
        const TPicture expected = ReadPpm(kLibs + "expected/" + line.substr(tab + 1));
        EXPECT_EQ(png.Width, expected.Width) << name;
        EXPECT_EQ(png.Height, expected.Height) << name;
        EXPECT_EQ(Rgb(png), expected.Pixels) << name;
        EXPECT_FALSE(png.HasAlpha) << name;
        ++exported;
    }
    EXPECT_GE(exported, 14);
}

TEST_F(DxgTool, ExportFindsNamesIgnoringCaseInAnyScript) {
    const Result r = Run({"export", kLibs + "pictures.dxg",
                          "GR\xC3\x96\xC3\x9F"
                          "E",
                          Path("p.png")});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(ReadPng(Path("p.png")).Width, 5);
}

TEST_F(DxgTool, ExportWritesRecordingsByteForByte) {
    for (const char* name : {"Laser", "Engine"}) {
        const Result r = Run({"export", kLibs + "sounds.dxw", name, Path("w.wav")});
        ASSERT_EQ(r.Code, 0) << r.Err;
        EXPECT_EQ(ReadWholeFile(Path("w.wav")), ReadWholeFile(kLibs + "expected/" + name + ".wav"))
            << name;
    }
}

TEST_F(DxgTool, FaultsPrintTheLibrarysMessageAndExit1) {
    std::ifstream index(kLibs + "invalid/errors.tsv");
    std::string line;
    int checked = 0;
    while (std::getline(index, line)) {
        const auto tab = line.find('\t');
        const std::string file = line.substr(0, tab);
        const Result r = Run({"list", kLibs + "invalid/" + file});
        EXPECT_EQ(r.Code, 1) << file;
        EXPECT_EQ(r.Err, line.substr(tab + 1) + "\n") << file;
        EXPECT_EQ(r.Out, "") << file;
        ++checked;
    }
    EXPECT_GE(checked, 10);

    struct Case {
        std::vector<std::string> Args;
        std::string Err;
    };
    const Case cases[] = {
        {{"export", kLibs + "pictures.dxg", "Nope", Path("x.png")}, "Image 'Nope' not found\n"},
        {{"export", kLibs + "sounds.dxw", "Nope", Path("x.wav")}, "Wave 'Nope' not found\n"},
        {{"list", Path("missing.dxg")},
         "Cannot open file \"" + Path("missing.dxg") + "\". No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const Result r = Run(c.Args);
        EXPECT_EQ(r.Code, 1) << c.Args[0];
        EXPECT_EQ(r.Err, c.Err);
    }
    EXPECT_FALSE(fs::exists(Path("x.png")));

    const Result usage = Run({"frobnicate"});
    EXPECT_EQ(usage.Code, 2);
    EXPECT_NE(usage.Err.find("usage:"), std::string::npos);
}

TEST_F(DxgTool, BuildPacksPicturesAsTheManifestSays) {
    // An RGB picture: magenta is its transparent colour as drawn.
    TPicture strip;
    strip.Width = 100;
    strip.Height = 40;
    for (int i = 0; i < 4000; ++i)
        strip.Pixels.push_back(i % 7 == 0 ? 0xFF00FF : static_cast<TPixel>(i * 977));
    WritePngRgb(Path("strip.png"), strip);
    // A picture with alpha: clear pixels take the transparent colour, an opaque
    // pixel of that very colour is nudged so that it stays visible.
    TRgbaImage sprite;
    sprite.Width = 3;
    sprite.Height = 1;
    sprite.Pixels = {0x00123456, 0xFF00FF00, 0xFF00FF01};
    WritePngRgba(Path("sprite.png"), sprite);
    TRgbaImage half;
    half.Width = 2;
    half.Height = 1;
    half.Pixels = {0x7F0000FF, 0x800000FF}; // just under and at half opacity
    WritePngRgba(Path("half.png"), half);

    Write("lib.txt",
          "# test pictures\n"
          "library pictures\n"
          "\n"
          "picture Strip   strip.png   PatternWidth=30 SkipWidth=5   # three frames\n"
          "picture Sprite\tsprite.png\tTransparentColor=#00FF00 SystemMemory=1\n"
          "picture Caf\xC3\xA9    half.png    Transparent=0 PatternHeight=1 SkipHeight=-1\n");
    const Result b = Run({"build", Path("lib.txt"), Path("lib.dxg")});
    ASSERT_EQ(b.Code, 0) << b.Err;
    EXPECT_FALSE(fs::exists(Path("lib.dxg.tmp")));

    const Result l = Run({"list", Path("lib.dxg")});
    EXPECT_EQ(l.Out, "0\tStrip\t30x40\t3\t1\t#FF00FF\n"
                     "1\tSprite\t3x1\t1\t1\t#00FF00\n"
                     "2\tCaf\xC3\xA9\t2x1\t1\t0\t#FF00FF\n");

    TPictureCollection lib;
    lib.LoadLibraryFile(Path("lib.dxg"));
    EXPECT_EQ(lib.Find("Strip").Picture.Pixels, strip.Pixels);
    EXPECT_EQ(lib.Find("Sprite").Picture.Pixels,
              (std::vector<TPixel>{0x00FF00, 0x00FF01, 0x00FF01}));
    EXPECT_TRUE(lib.Find("Sprite").SystemMemory);
    EXPECT_EQ(lib.Find("Caf\xE9").Picture.Pixels, (std::vector<TPixel>{0xFF00FF, 0x0000FF}));
    EXPECT_EQ(lib.Find("Caf\xE9").SkipHeight, -1);

    const Result e = Run({"export", Path("lib.dxg"), "strip", Path("back.png")});
    ASSERT_EQ(e.Code, 0) << e.Err;
    EXPECT_EQ(Rgb(ReadPng(Path("back.png"))), strip.Pixels);
}

TEST_F(DxgTool, BuildPacksWaves) {
    // stereo, 44100 Hz, 16 bits
    const Bytes fmt = {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0};
    const Bytes wave = Riff(Chunk("fmt ", fmt) + Chunk("data", Bytes(8, 0x11)));
    const std::string riff(wave.begin(), wave.end());
    Write("engine.wav", riff);
    Write("waves.txt", "library waves\nwave Engine engine.wav Looped=1 MaxPlayingCount=1\nwave "
                       "Laser engine.wav\n");
    const Result b = Run({"build", Path("waves.txt"), Path("s.dxw")});
    ASSERT_EQ(b.Code, 0) << b.Err;
    EXPECT_EQ(Run({"list", Path("s.dxw")}).Out, "0\tEngine\t1\t1\t2\t44100\t16\t8\n"
                                                "1\tLaser\t0\t0\t2\t44100\t16\t8\n");
    ASSERT_EQ(Run({"export", Path("s.dxw"), "laser", Path("back.wav")}).Code, 0);
    EXPECT_EQ(ReadWholeFile(Path("back.wav")), riff);
}

TEST_F(DxgTool, BuildRefusesBadManifestsAndWritesNothing) {
    TRgbaImage dot;
    dot.Width = dot.Height = 1;
    dot.Pixels = {0xFF000000};
    WritePngRgba(Path("dot.png"), dot);
    Write("bad.wav", "RIFX");
    struct Case {
        const char* Manifest;
        const char* ErrPart;
    };
    const Case cases[] = {
        {"picture A dot.png\n", "library pictures"},
        {"library sprites\n", "library pictures"},
        {"library pictures\npicture A dot.png Width=3\n", ":2: unknown key \"Width\""},
        {"library pictures\npicture A dot.png PatternWidth=3x\n",
         ":2: PatternWidth needs a whole number"},
        {"library pictures\npicture A dot.png PatternWidth=99999999999\n", ":2: PatternWidth"},
        {"library pictures\npicture A dot.png Transparent=yes\n", ":2: Transparent needs 0 or 1"},
        {"library pictures\npicture A dot.png TransparentColor=#F0F\n",
         ":2: TransparentColor needs #RRGGBB"},
        {"library pictures\npicture A\n", ":2: an entry needs a name and a file"},
        {"library pictures\nwave A dot.png\n", ":2: expected \"picture"},
        {"library pictures\npicture A missing.png\n", "missing.png"},
        {"library waves\nwave A bad.wav\n", "Wave is invalid"},
        {"library waves\nwave A dot.png Looped=2\n", ":2: Looped needs 0 or 1"},
    };
    for (const auto& c : cases) {
        Write("m.txt", c.Manifest);
        const Result r = Run({"build", Path("m.txt"), Path("out.lib")});
        EXPECT_EQ(r.Code, 1) << c.Manifest;
        EXPECT_NE(r.Err.find(c.ErrPart), std::string::npos) << c.Manifest << " gave: " << r.Err;
        EXPECT_FALSE(fs::exists(Path("out.lib"))) << c.Manifest;
    }
}

TEST_F(DxgTool, SheetShowsEveryPictureOnOnePage) {
    const Result r = Run({"sheet", kLibs + "pictures.dxg", Path("sheet.png")});
    ASSERT_EQ(r.Code, 0) << r.Err;
    const TRgbaImage sheet = ReadPng(Path("sheet.png"));
    // The first picture sits unscaled in the top-left cell, a gap away from the edges.
    TPictureCollection lib;
    lib.LoadLibraryFile(kLibs + "pictures.dxg");
    const TPicture& first = lib.Items(0).Picture;
    ASSERT_GT(sheet.Width, 8 + first.Width);
    for (int32_t y = 0; y < first.Height; ++y)
        for (int32_t x = 0; x < first.Width; ++x)
            EXPECT_EQ(sheet.Pixels[static_cast<size_t>((8 + y) * sheet.Width + 8 + x)] & 0xFFFFFF,
                      first.At(x, y));

    const Result waves = Run({"sheet", kLibs + "sounds.dxw", Path("w.png")});
    EXPECT_EQ(waves.Code, 1);
    EXPECT_FALSE(fs::exists(Path("w.png")));
}

} // namespace
} // namespace vantorel

// vantorel-dxg: lists, exports and builds the game's picture and wave libraries.
// See tools/dxg/README.md for the commands and the manifest format.
#include "base/errors.hpp"
#include "base/text_encoding.hpp"
#include "engine/dib.hpp"
#include "engine/image_library.hpp"
#include "engine/library_stream.hpp"
#include "engine/wave_library.hpp"
#include "platform/sdl_font_renderer.hpp"
#include "tools/common/common_options.hpp"
#include "tools/common/png_io.hpp"
#include "tools/dxg/sheet.hpp"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vantorel;

namespace {

constexpr const char* kUsage = "usage: vantorel-dxg list FILE\n"
                               "       vantorel-dxg export FILE NAME OUT\n"
                               "       vantorel-dxg build MANIFEST OUT\n"
                               "       vantorel-dxg sheet FILE OUT.png\n";

/// A fault of the tool's own (bad manifest, unreadable input), as opposed to the
/// library's errors, which carry the library's fixed texts.
struct ToolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Kind { Pictures, Waves };

// Which collection a file holds, from the root object's class name (the reader
// accepts any name there, so an unknown one falls back to the file's extension).
Kind KindOf(const std::string& path, std::span<const uint8_t> bytes) {
    TLibraryReader r(bytes);
    const std::string cls = r.ReadRootStart();
    if (SameTextCp1252(cls, "TWaveCollectionComponent"))
        return Kind::Waves;
    if (SameTextCp1252(cls, "TPictureCollectionComponent"))
        return Kind::Pictures;
    const std::string ext = std::filesystem::path(path).extension().string();
    return SameTextCp1252(ext, ".dxw") ? Kind::Waves : Kind::Pictures;
}

std::string HexColor(uint32_t bgr) {
    const uint32_t rgb = ColorToRGB(bgr);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF,
                  (rgb >> 16) & 0xFF);
    return buf;
}

int List(const std::string& file) {
    const auto bytes = ReadWholeFile(file);
    if (KindOf(file, bytes) == Kind::Waves) {
        TWaveCollection waves;
        waves.ReadLibraryBytes(bytes);
        for (int32_t i = 0; i < waves.Count(); ++i) {
            const auto& w = waves.Items(i);
            std::cout << i << '\t' << Cp1252ToUtf8(w.Name()) << '\t' << (w.Looped ? 1 : 0) << '\t'
                      << w.MaxPlayingCount() << '\t' << w.Wave.Channels() << '\t'
                      << w.Wave.SamplesPerSec() << '\t' << w.Wave.BitsPerSample() << '\t'
                      << w.Wave.Data().size() << '\n';
        }
        return 0;
    }
    TPictureCollection pictures;
    pictures.ReadLibraryBytes(bytes);
    for (int32_t i = 0; i < pictures.Count(); ++i) {
        const auto& p = pictures.Items(i);
        std::cout << i << '\t' << Cp1252ToUtf8(p.Name()) << '\t' << p.Width() << 'x' << p.Height()
                  << '\t' << p.PlannedPatternCount() << '\t' << (p.Transparent ? 1 : 0) << '\t'
                  << HexColor(p.TransparentColor()) << '\n';
    }
    return 0;
}

void WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw ToolError("Cannot write \"" + path + "\"");
}

int Export(const std::string& file, const std::string& utf8Name, const std::string& outPath) {
    const auto bytes = ReadWholeFile(file);
    const std::string name = Utf8ToCp1252(utf8Name);
    if (KindOf(file, bytes) == Kind::Waves) {
        TWaveCollection waves;
        waves.ReadLibraryBytes(bytes);
        TWaveCollectionItem* item = waves.FindItem(name);
        if (item == nullptr)
            throw EWaveCollectionError("Wave '" + utf8Name + "' not found");
        if (item->Wave.IsEmpty())
            throw ToolError("Wave '" + utf8Name + "' holds no recording");
        WriteFileBytes(outPath, item->Wave.Riff());
        return 0;
    }
    TPictureCollection pictures;
    pictures.ReadLibraryBytes(bytes);
    TPictureCollectionItem* item = pictures.FindItem(name);
    if (item == nullptr)
        throw EPictureCollectionError("Image '" + utf8Name + "' not found");
    if (item->Picture.IsEmpty())
        throw ToolError("Image '" + utf8Name + "' holds no picture");
    WritePngRgb(outPath, item->Picture);
    return 0;
}

// ---------------------------------------------------------------------------
// Manifests

struct ManifestLine {
    int Number = 0;
    std::vector<std::string> Fields;
};

std::vector<ManifestLine> ReadManifest(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw ToolError("Cannot open manifest \"" + path + "\"");
    std::vector<ManifestLine> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        ManifestLine line{number, {}};
        std::istringstream fields(text);
        std::string field;
        while (fields >> field) {
            if (field[0] == '#')
                break; // a comment runs to the end of the line
            line.Fields.push_back(field);
        }
        if (!line.Fields.empty())
            lines.push_back(std::move(line));
    }
    return lines;
}

[[noreturn]] void ManifestFault(const std::string& path, const ManifestLine& line,
                                const std::string& what) {
    throw ToolError(path + ":" + std::to_string(line.Number) + ": " + what);
}

int32_t ParseInt(const std::string& path, const ManifestLine& line, const std::string& key,
                 const std::string& value) {
    try {
        size_t used = 0;
        const long v = std::stol(value, &used, 10);
        if (used != value.size() || v < INT32_MIN || v > INT32_MAX)
            throw std::invalid_argument(value);
        return static_cast<int32_t>(v);
    } catch (const std::logic_error&) {
        ManifestFault(path, line, key + " needs a whole number, not \"" + value + "\"");
    }
}

bool ParseFlag(const std::string& path, const ManifestLine& line, const std::string& key,
               const std::string& value) {
    if (value == "0")
        return false;
    if (value == "1")
        return true;
    ManifestFault(path, line, key + " needs 0 or 1, not \"" + value + "\"");
}

// "#RRGGBB" to a library colour, 0x00BBGGRR.
uint32_t ParseColor(const std::string& path, const ManifestLine& line, const std::string& value) {
    const bool ok = value.size() == 7 && value[0] == '#' &&
                    value.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
    if (!ok)
        ManifestFault(path, line, "TransparentColor needs #RRGGBB, not \"" + value + "\"");
    const auto rgb = static_cast<uint32_t>(std::stoul(value.substr(1), nullptr, 16));
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

// Flattens a PNG onto the transparent colour: pixels under half opacity become
// that colour, opaque pixels that equal it are nudged one step of blue.
TPicture ToPicture(const TRgbaImage& png, uint32_t transparentColor) {
    TPicture pic;
    pic.Width = png.Width;
    pic.Height = png.Height;
    pic.Pixels.resize(png.Pixels.size());
    const TPixel key = ColorToPixel(ColorToRGB(transparentColor));
    for (size_t i = 0; i < png.Pixels.size(); ++i) {
        const uint32_t argb = png.Pixels[i];
        TPixel px = argb & 0x00FFFFFFu;
        if (png.HasAlpha) {
            if ((argb >> 24) < 128) {
                px = key;
            } else if (px == key) {
                const uint32_t blue = px & 0xFF;
                px = (px & 0xFFFF00u) | (blue == 0xFF ? 0xFE : blue + 1);
            }
        }
        pic.Pixels[i] = px;
    }
    return pic;
}

std::string Resolve(const std::string& manifest, const std::string& file) {
    const std::filesystem::path p(file);
    if (p.is_absolute())
        return file;
    return (std::filesystem::path(manifest).parent_path() / p).string();
}

int Build(const std::string& manifestPath, const std::string& outPath) {
    const auto lines = ReadManifest(manifestPath);
    if (lines.empty() || lines[0].Fields.size() != 2 || lines[0].Fields[0] != "library" ||
        (lines[0].Fields[1] != "pictures" && lines[0].Fields[1] != "waves"))
        throw ToolError(manifestPath +
                        ": the first entry must be \"library pictures\" or \"library waves\"");
    const bool waves = lines[0].Fields[1] == "waves";
    const std::string entryWord = waves ? "wave" : "picture";

    TPictureCollection pictures;
    TWaveCollection sounds;
    for (size_t n = 1; n < lines.size(); ++n) {
        const ManifestLine& line = lines[n];
        const auto& f = line.Fields;
        if (f[0] != entryWord)
            ManifestFault(manifestPath, line,
                          "expected \"" + entryWord + " NAME FILE ...\", found \"" + f[0] + "\"");
        if (f.size() < 3)
            ManifestFault(manifestPath, line, "an entry needs a name and a file");
        const std::string name = Utf8ToCp1252(f[1]);
        const std::string file = Resolve(manifestPath, f[2]);
        if (waves) {
            auto& item = sounds.Add(sounds);
            item.SetName(name);
            for (size_t k = 3; k < f.size(); ++k) {
                const auto eq = f[k].find('=');
                const std::string key = f[k].substr(0, eq);
                const std::string value = eq == std::string::npos ? "" : f[k].substr(eq + 1);
                if (key == "Looped")
                    item.Looped = ParseFlag(manifestPath, line, key, value);
                else if (key == "MaxPlayingCount")
                    item.SetMaxPlayingCount(ParseInt(manifestPath, line, key, value));
                else
                    ManifestFault(manifestPath, line, "unknown key \"" + key + "\"");
            }
            const auto bytes = ReadWholeFile(file);
            if (bytes.empty())
                throw EWaveStreamError("Wave is invalid");
            item.Wave.LoadFromRiff(bytes);
        } else {
            auto& item = pictures.Add(pictures);
            item.SetName(name);
            item.SetTransparentColor(0xFF00FF);
            for (size_t k = 3; k < f.size(); ++k) {
                const auto eq = f[k].find('=');
                const std::string key = f[k].substr(0, eq);
                const std::string value = eq == std::string::npos ? "" : f[k].substr(eq + 1);
                if (key == "PatternWidth")
                    item.PatternWidth = ParseInt(manifestPath, line, key, value);
                else if (key == "PatternHeight")
                    item.PatternHeight = ParseInt(manifestPath, line, key, value);
                else if (key == "SkipWidth")
                    item.SkipWidth = ParseInt(manifestPath, line, key, value);
                else if (key == "SkipHeight")
                    item.SkipHeight = ParseInt(manifestPath, line, key, value);
                else if (key == "SystemMemory")
                    item.SystemMemory = ParseFlag(manifestPath, line, key, value);
                else if (key == "Transparent")
                    item.Transparent = ParseFlag(manifestPath, line, key, value);
                else if (key == "TransparentColor")
                    item.SetTransparentColor(ParseColor(manifestPath, line, value));
                else
                    ManifestFault(manifestPath, line, "unknown key \"" + key + "\"");
            }
            item.Picture = ToPicture(ReadPng(file), item.TransparentColor());
        }
    }
    const auto bytes = waves ? sounds.WriteLibraryBytes() : pictures.WriteLibraryBytes();
    // Written beside the target and renamed over it, so a failed build never
    // leaves a half-written library for the game to trip over.
    const std::string temp = outPath + ".tmp";
    WriteFileBytes(temp, bytes);
    std::filesystem::rename(temp, outPath);
    return 0;
}

int Sheet(const std::string& file, const std::string& outPath) {
    const auto bytes = ReadWholeFile(file);
    if (KindOf(file, bytes) == Kind::Waves)
        throw ToolError("\"" + file + "\" is a wave library: it holds no pictures");
    TPictureCollection pictures;
    pictures.ReadLibraryBytes(bytes);
    TSdlFontRenderer fonts;
    WritePngRgb(outPath, MakeContactSheet(pictures, &fonts));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const auto done = tools::AnswerCommonOptions(argc, argv, "vantorel-dxg", kUsage))
        return *done;
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 2 && args[0] == "list")
            return List(args[1]);
        if (args.size() == 4 && args[0] == "export")
            return Export(args[1], args[2], args[3]);
        if (args.size() == 3 && args[0] == "build")
            return Build(args[1], args[2]);
        if (args.size() == 3 && args[0] == "sheet")
            return Sheet(args[1], args[2]);
        return tools::UsageError(kUsage);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}

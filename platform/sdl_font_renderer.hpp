// The desktop's fonts through fontconfig and SDL2_ttf: faces matched by name with
// the system's font configuration plus the game's own aliases, strings rendered at
// 96 DPI. Nothing of SDL or fontconfig shows here.
#pragma once

#include "platform/font_renderer.hpp"

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantorel {

/// Where a font request ends up: the face file and its family, the horizontal
/// scale the font configuration asks for, and whether bold is synthesised.
struct TFontMatch {
    std::string File;
    std::string Family;
    int32_t Index = 0;
    double ScaleX = 1.0;
    bool SyntheticBold = false;
};

/// Matches, opens and renders fonts, and keeps what it did for reuse: opened
/// fonts by (face, size, bold), and measured and rendered texts by (face, size,
/// bold, text), so drawing the same texts every frame touches no glyph after
/// the first time.
///
/// Each renderer matches faces with a font configuration of its own: the
/// system's, read when first needed, plus the alias files loaded into it. The
/// process's shared fontconfig setup is never changed.
class TSdlFontRenderer final : public IFontRenderer {
public:
    TSdlFontRenderer();
    ~TSdlFontRenderer() override;
    TSdlFontRenderer(const TSdlFontRenderer&) = delete;
    TSdlFontRenderer& operator=(const TSdlFontRenderer&) = delete;

    /// Also clears what was cached, since faces may now resolve differently.
    bool LoadAliases(const std::string& path) override;
    TTextExtent Measure(const TFontSpec& font, std::string_view text) override;
    std::shared_ptr<const TTextImage> Coverage(const TFontSpec& font,
                                               std::string_view text) override;

    /// The face a request resolves to (File empty when nothing matches).
    TFontMatch Match(const TFontSpec& font);

    /// text rendered in colour (0x00RRGGBB); empty image where Coverage is null.
    TTextImage Render(const TFontSpec& font, std::string_view text, uint32_t colour);

    /// Characters of text that the matched face has no glyph for (they would
    /// show as empty boxes); 0 when all are there, -1 when no font can be had.
    int32_t MissingGlyphs(const TFontSpec& font, std::string_view text);

    /// Texts laid out to measure them, and texts rendered into pixels, since
    /// start: both only count work that missed the cache, so a frame that
    /// redraws the texts of the last one adds nothing.
    uint64_t Measurements() const { return measurements_; }
    uint64_t Renderings() const { return renderings_; }

    /// Forgets cached texts and closes opened fonts.
    void Clear();

private:
    struct TConfig;
    struct TOpenFont;
    struct TCachedText {
        TTextExtent Extent;
        bool Measured = false;
        std::shared_ptr<const TTextImage> Image;
        std::list<std::string>::iterator Age;
    };

    /// The renderer's own font configuration, read on first use; null when
    /// fontconfig cannot give one.
    TConfig* Config();
    TOpenFont* Open(const TFontSpec& font);
    TCachedText& Cached(const TFontSpec& font, const std::string& utf8);
    void Trim();

    bool ttfReady_ = false;
    std::unique_ptr<TConfig> config_;
    std::vector<std::string> loadedAliases_;
    std::unordered_map<std::string, std::unique_ptr<TOpenFont>> fonts_;
    std::unordered_map<std::string, TCachedText> texts_;
    std::list<std::string> textAge_; // most recently used first
    size_t cachedPixels_ = 0;
    uint64_t measurements_ = 0;
    uint64_t renderings_ = 0;
};

} // namespace vantorel

// The desktop's fonts: faces matched by name through fontconfig and strings
// rendered with SDL2_ttf at 96 DPI, so that a size in points is a desktop point
// (one point = 4/3 pixel of em height). Nothing of SDL or fontconfig shows here.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantorel {

/// What a text is drawn with, colour aside: face name as the game asks for it
/// ("DS Crystal", "Arial", "Courier"), size in desktop points, boldness.
struct TFontSpec {
    std::string Name;
    int32_t Size = 10;
    bool Bold = false;
    bool operator==(const TFontSpec&) const = default;
};

/// Width and height of a text in pixels. The height is the font's line height
/// (ascent plus descent), the same for every text of one font.
struct TTextExtent {
    int32_t Width = 0;
    int32_t Height = 0;
};

/// A rendered text: Width x Height pixels 0xAARRGGBB, row after row, where AA
/// is the glyphs' coverage (0 = background, 255 = solid) and RGB the colour.
struct TTextImage {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
};

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
/// the first time. Main thread only.
///
/// Texts are UTF-8; a text that is not valid UTF-8 is taken as Windows-1252
/// bytes (names read from an old high-score file), so every byte shows.
/// A face that cannot be found or opened measures 0 x 0 and draws nothing:
/// text is never worth stopping the game for.
class TFontRenderer {
public:
    TFontRenderer();
    ~TFontRenderer();
    TFontRenderer(const TFontRenderer&) = delete;
    TFontRenderer& operator=(const TFontRenderer&) = delete;

    /// The game's one renderer. The game adds its own aliases with LoadAliases.
    static TFontRenderer& Shared();

    /// Adds the aliases and rules of a fontconfig file to the running font
    /// configuration of this process (each path once). False, quietly, when the
    /// file is absent or not a valid configuration. Clears what was cached,
    /// since faces may now resolve differently.
    bool LoadAliases(const std::string& path);

    /// The face a request resolves to (File empty when nothing matches).
    TFontMatch Match(const TFontSpec& font);

    /// Extent of text; an empty text has width 0 and the font's line height.
    TTextExtent Measure(const TFontSpec& font, std::string_view text);

    /// Coverage of text as a white image (pixels 0xAAFFFFFF); null for an empty
    /// text or a font that cannot be had. The image stays valid while held.
    std::shared_ptr<const TTextImage> Coverage(const TFontSpec& font, std::string_view text);

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
    struct TOpenFont;
    struct TCachedText {
        TTextExtent Extent;
        bool Measured = false;
        std::shared_ptr<const TTextImage> Image;
        std::list<std::string>::iterator Age;
    };

    TOpenFont* Open(const TFontSpec& font);
    TCachedText& Cached(const TFontSpec& font, const std::string& utf8);
    void Trim();

    bool ttfReady_ = false;
    std::vector<std::string> loadedAliases_;
    std::unordered_map<std::string, std::unique_ptr<TOpenFont>> fonts_;
    std::unordered_map<std::string, TCachedText> texts_;
    std::list<std::string> textAge_; // most recently used first
    size_t cachedPixels_ = 0;
    uint64_t measurements_ = 0;
    uint64_t renderings_ = 0;
};

/// text as UTF-8: unchanged when it already is valid UTF-8, else each byte
/// read as Windows-1252. A NUL ends the text.
std::string TextToUtf8(std::string_view text);

} // namespace vantorel

// The desktop's fonts as the game sees them: texts measured and rendered as
// coverage in a face asked for by name, size in desktop points (96 DPI, one point
// = 4/3 pixel of em height) and boldness. The real form is TSdlFontRenderer
// (fontconfig and SDL2_ttf); the null form measures and draws nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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

/// Measures and renders texts. Main thread only.
///
/// Texts are UTF-8; a text that is not valid UTF-8 is taken as Windows-1252
/// bytes (names read from an old high-score file), so every byte shows.
/// A face that cannot be found or opened measures 0 x 0 and draws nothing:
/// text is never worth stopping the game for.
class IFontRenderer {
public:
    virtual ~IFontRenderer() = default;

    /// Adds the aliases and rules of a fontconfig file to the faces this renderer
    /// matches (each path once). False, quietly, when the file is absent or not a
    /// valid configuration.
    virtual bool LoadAliases(const std::string& path) = 0;

    /// Extent of text; an empty text has width 0 and the font's line height.
    virtual TTextExtent Measure(const TFontSpec& font, std::string_view text) = 0;

    /// Coverage of text as a white image (pixels 0xAAFFFFFF); null for an empty
    /// text or a font that cannot be had. The image stays valid while held.
    virtual std::shared_ptr<const TTextImage> Coverage(const TFontSpec& font,
                                                       std::string_view text) = 0;
};

/// The form with no fonts at all: every text measures 0 x 0 and draws nothing.
class TNullFontRenderer final : public IFontRenderer {
public:
    bool LoadAliases(const std::string&) override { return false; }
    TTextExtent Measure(const TFontSpec&, std::string_view) override { return {}; }
    std::shared_ptr<const TTextImage> Coverage(const TFontSpec&, std::string_view) override {
        return nullptr;
    }
};

} // namespace vantorel

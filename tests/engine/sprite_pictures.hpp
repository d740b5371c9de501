// Small picture items for the sprite tests: a headless display, one picture
// collection and a helper that cuts a picture given as rows of letters.
#pragma once

#include "engine/display.hpp"
#include "engine/image_library.hpp"
#include "engine/surface.hpp"
#include "platform/video_output.hpp"

#include <map>
#include <string>
#include <vector>

namespace vantorel::testing_sprites {

/// Letters used in the pictures and their pixel values; '.' is the transparent
/// colour (black) of every test picture.
inline const std::map<char, TPixel>& Palette() {
    static const std::map<char, TPixel> colours = {
        {'.', 0x000000}, {'a', 0xFF0000}, {'b', 0x00FF00},
        {'c', 0x0000FF}, {'d', 0xFFFF00}, {'x', 0xFFFFFF},
    };
    return colours;
}

/// The rows of a surface as letters ('?' for a colour outside the palette).
inline std::vector<std::string> Letters(const TDirectDrawSurface& s) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < s.Height(); ++y) {
        std::string row;
        for (int32_t x = 0; x < s.Width(); ++x) {
            char letter = '?';
            for (const auto& [c, p] : Palette())
                if (p == s.Row(y)[x])
                    letter = c;
            row += letter;
        }
        rows.push_back(row);
    }
    return rows;
}

/// Fills a surface from rows of letters.
inline void Paint(TDirectDrawSurface& s, const std::vector<std::string>& rows) {
    s.SetSize(static_cast<int32_t>(rows.at(0).size()), static_cast<int32_t>(rows.size()));
    for (int32_t y = 0; y < s.Height(); ++y)
        for (int32_t x = 0; x < s.Width(); ++x)
            s.Row(y)[x] = Palette().at(rows[static_cast<size_t>(y)][static_cast<size_t>(x)]);
}

class TTestPictures {
public:
    TTestPictures() { display.Initialize(); }

    /// Adds a picture drawn as rows of letters, cut into patterns of
    /// patternWidth x patternHeight (0: the whole picture), black transparent.
    TPictureCollectionItem& Add(const std::vector<std::string>& rows, int32_t patternWidth = 0,
                                int32_t patternHeight = 0) {
        TPictureCollectionItem& item = pictures.Add(pictures);
        item.Picture.Height = static_cast<int32_t>(rows.size());
        item.Picture.Width = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
        for (const auto& row : rows)
            for (char c : row)
                item.Picture.Pixels.push_back(Palette().at(c));
        item.PatternWidth = patternWidth;
        item.PatternHeight = patternHeight;
        item.SetTransparentColor(0);
        pictures.Initialize(&display);
        pictures.Restore();
        return item;
    }

    TNullVideoOutput output;
    TDXDraw display{&output};
    TPictureCollection pictures;
};

} // namespace vantorel::testing_sprites

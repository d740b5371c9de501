// The procedural pictures of the world library (Res2.dxg), by name.
#pragma once

#include "tools/artgen/art_image.hpp"

#include <string>
#include <vector>

namespace vantorel::artgen {

struct TProceduralPicture {
    std::string Name;
    int PatternWidth;
    int PatternHeight;
    int Patterns; ///< laid out row by row, at most Columns per row
    int Columns;
    bool Opaque; ///< written without alpha (Transparent=0 in the manifest)
    TArtImage (*Make)();
};

/// Every procedural picture, in manifest order.
const std::vector<TProceduralPicture>& Catalogue();

/// The picture named name, or null.
const TProceduralPicture* FindPicture(const std::string& name);

} // namespace vantorel::artgen

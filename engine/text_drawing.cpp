#include "engine/text_drawing.hpp"

#include "engine/surface.hpp"
#include "engine/surface_canvas.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace vantorel {

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}

// "DS Crystal" is the narrow liquid-crystal face; the font alias shipped in
// Data/Fonts/fonts.conf supplies a stand-in where it is not installed. The
// stand-in's space is a sliver once the face is condensed (a sixth of a
// letter: "SENDTHERESULT"), so the segment styles ask for a word space of 0.4 of
// their size, about two thirds of a letter: "SEND THE RESULT". The name-entry
// prompts fill their window and take 0.3, half a letter.
constexpr double kSegmentWordSpace = 0.4;
constexpr double kPromptWordSpace = 0.3;
constexpr std::array<TTextStyle, kTextStyleCount> kStyles{{
    {"DS Crystal", 32, false, Rgb(244, 9, 9), kSegmentWordSpace},     // 1: exit questions
    {"Arial", 15, false, Rgb(230, 218, 218)},                         // 2: high-score table rows
    {"DS Crystal", 26, false, Rgb(244, 9, 9), kSegmentWordSpace},     // 3: clear-table question
    {"Arial", 24, true, Rgb(255, 153, 0)},                            // 4: the add text
    {"DS Crystal", 36, false, Rgb(244, 9, 9), kSegmentWordSpace},     // 5: pause, banner, game over
    {"DS Crystal", 28, false, Rgb(255, 255, 255), kSegmentWordSpace}, // 6: heads-up display, level
    {"DS Crystal", 20, false, Rgb(255, 255, 255), kSegmentWordSpace}, // 7: heads-up display, score
    {"DS Crystal", 16, false, Rgb(255, 255, 255), kSegmentWordSpace}, // 8: heads-up display, time
    {"DS Crystal", 24, false, Rgb(244, 9, 9), kPromptWordSpace},      // 9: name-entry prompts
    {"DS Crystal", 28, false, Rgb(255, 255, 255), kSegmentWordSpace}, // 10: the name being typed
    {"DS Crystal", 26, false, Rgb(244, 9, 9), kSegmentWordSpace},     // 11: send question, sending
    {"Courier", 12, false, Rgb(255, 209, 55)}, // 12: kept with the others, unused
}};

/// The word space asked of the canvas's current font: that of the style it was
/// selected from; 0 for a font of no style.
double WordSpaceOf(const TDirectDrawSurfaceCanvas& canvas) {
    for (const TTextStyle& s : kStyles)
        if (canvas.Font.Name == s.Face && canvas.Font.Size == s.Size && canvas.Font.Bold == s.Bold)
            return s.WordSpace;
    return 0.0;
}

} // namespace

const TTextStyle* FindTextStyle(int32_t style) {
    if (style < 1 || style > kTextStyleCount)
        return nullptr;
    return &kStyles[static_cast<size_t>(style - 1)];
}

void SelectTextStyle(TDirectDrawSurfaceCanvas& canvas, int32_t style) {
    if (const TTextStyle* s = FindTextStyle(style)) {
        canvas.Font.Name = std::string(s->Face);
        canvas.Font.Size = s->Size;
        canvas.Font.Bold = s->Bold;
        canvas.Font.Color = s->Color;
    }
    canvas.BrushClear = true;
}

std::string LaidOutText(TDirectDrawSurfaceCanvas& canvas, std::string_view text) {
    const double wordSpace = WordSpaceOf(canvas);
    if (wordSpace <= 0.0 || text.find(' ') == std::string_view::npos)
        return std::string(text);
    const int32_t face = canvas.TextWidth(" ");
    const double wanted = wordSpace * canvas.Font.Size;
    const size_t spaces =
        face > 0 ? static_cast<size_t>(std::max(1.0, std::ceil(wanted / face))) : 1;
    std::string out;
    out.reserve(text.size() + spaces * 4);
    for (const char c : text)
        if (c == ' ')
            out.append(spaces, ' ');
        else
            out.push_back(c);
    return out;
}

int32_t TextWidth(TDirectDrawSurfaceCanvas& canvas, std::string_view text) {
    return canvas.TextWidth(LaidOutText(canvas, text));
}

int32_t TextHeight(TDirectDrawSurfaceCanvas& canvas, std::string_view text) {
    return canvas.TextHeight(LaidOutText(canvas, text));
}

int32_t WidthInStyle(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t style) {
    SelectTextStyle(canvas, style);
    return TextWidth(canvas, text);
}

int32_t CentredStart(int32_t anchor, int32_t extent) {
    return static_cast<int32_t>(
        std::trunc(static_cast<double>(anchor) - static_cast<double>(extent) / 2.0));
}

void DrawText(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t x, int32_t y,
              bool centreHorizontally, bool centreVertically) {
    if (text.empty())
        return;
    const std::string laidOut = LaidOutText(canvas, text);
    if (centreHorizontally)
        x = CentredStart(x, canvas.TextWidth(laidOut));
    if (centreVertically)
        y = CentredStart(y, canvas.TextHeight(laidOut));
    canvas.TextOut(x, y, laidOut);
}

void DrawTextRight(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t x, int32_t y) {
    if (text.empty())
        return;
    const std::string laidOut = LaidOutText(canvas, text);
    canvas.TextOut(x - canvas.TextWidth(laidOut), CentredStart(y, canvas.TextHeight(laidOut)),
                   laidOut);
}

TDirectDrawSurfaceCanvas* CanvasOf(TDirectDrawSurface* surface) {
    return surface != nullptr ? &surface->Canvas() : nullptr;
}

void DrawCentredInStyle(TDirectDrawSurface* surface, std::string_view text, int32_t style,
                        int32_t x, int32_t y) {
    if (TDirectDrawSurfaceCanvas* canvas = CanvasOf(surface)) {
        SelectTextStyle(*canvas, style);
        DrawText(*canvas, text, x, y, true, true);
    }
}

void DrawAtInStyle(TDirectDrawSurface* surface, std::string_view text, int32_t style, int32_t x,
                   int32_t y) {
    if (TDirectDrawSurfaceCanvas* canvas = CanvasOf(surface)) {
        SelectTextStyle(*canvas, style);
        DrawText(*canvas, text, x, y, false, false);
    }
}

int32_t WidthInStyle(TDirectDrawSurface* surface, std::string_view text, int32_t style) {
    TDirectDrawSurfaceCanvas* canvas = CanvasOf(surface);
    return canvas != nullptr ? WidthInStyle(*canvas, text, style) : 0;
}

} // namespace vantorel

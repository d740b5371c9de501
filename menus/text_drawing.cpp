#include "menus/text_drawing.hpp"

#include "engine/surface_canvas.hpp"

#include <array>
#include <cmath>

namespace vantorel {

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}

// "DS Crystal" is the narrow liquid-crystal face; the font alias shipped in
// Data/Fonts/fonts.conf supplies a stand-in where it is not installed.
constexpr std::array<TTextStyle, kTextStyleCount> kStyles{{
    {"DS Crystal", 32, false, Rgb(244, 9, 9)},     // 1: exit questions
    {"Arial", 15, false, Rgb(230, 218, 218)},      // 2: high-score table rows
    {"DS Crystal", 26, false, Rgb(244, 9, 9)},     // 3: clear-table question
    {"Arial", 24, true, Rgb(255, 153, 0)},         // 4: the add text
    {"DS Crystal", 36, false, Rgb(244, 9, 9)},     // 5: pause, level banner, game over
    {"DS Crystal", 28, false, Rgb(255, 255, 255)}, // 6: heads-up display, level
    {"DS Crystal", 20, false, Rgb(255, 255, 255)}, // 7: heads-up display, score
    {"DS Crystal", 16, false, Rgb(255, 255, 255)}, // 8: heads-up display, weapon time
    {"DS Crystal", 24, false, Rgb(244, 9, 9)},     // 9: name-entry prompts
    {"DS Crystal", 28, false, Rgb(255, 255, 255)}, // 10: the name being typed
    {"DS Crystal", 26, false, Rgb(244, 9, 9)},     // 11: send question, "Sending results..."
    {"Courier", 12, false, Rgb(255, 209, 55)},     // 12: kept with the others, unused
}};

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

int32_t TextWidth(TDirectDrawSurfaceCanvas& canvas, std::string_view text) {
    return canvas.TextWidth(text);
}

int32_t TextHeight(TDirectDrawSurfaceCanvas& canvas, std::string_view text) {
    return canvas.TextHeight(text);
}

int32_t WidthInStyle(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t style) {
    SelectTextStyle(canvas, style);
    return canvas.TextWidth(text);
}

int32_t CentredStart(int32_t anchor, int32_t extent) {
    return static_cast<int32_t>(
        std::trunc(static_cast<double>(anchor) - static_cast<double>(extent) / 2.0));
}

void DrawText(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t x, int32_t y,
              bool centreHorizontally, bool centreVertically) {
    if (text.empty())
        return;
    if (centreHorizontally)
        x = CentredStart(x, canvas.TextWidth(text));
    if (centreVertically)
        y = CentredStart(y, canvas.TextHeight(text));
    canvas.TextOut(x, y, text);
}

void DrawTextRight(TDirectDrawSurfaceCanvas& canvas, std::string_view text, int32_t x, int32_t y) {
    if (text.empty())
        return;
    canvas.TextOut(x - canvas.TextWidth(text), CentredStart(y, canvas.TextHeight(text)), text);
}

} // namespace vantorel

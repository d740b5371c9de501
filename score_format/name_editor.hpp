// The rules for typing a short text: the player's name in the name-entry window
// (measured in text style 10) and the add text on the options screen (style 4).
// The pixel width comes from the text drawing above this layer, handed in as a
// function.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vantorel {

class TNameEditor {
public:
    /// Pixel width of a text in the editor's text style.
    using TMeasure = std::function<int32_t(const std::string&)>;

    /// A character is refused once the text is wider than this, in pixels.
    static constexpr int32_t MaxWidth = 240;
    /// A character is refused once the text has this many characters.
    static constexpr size_t MaxLength = 12;
    static constexpr char Backspace = 8;

    /// measure may be empty: then only the characters and the length limit apply.
    explicit TNameEditor(TMeasure measure) : measure_(std::move(measure)) {}

    /// "0"-"9", "A"-"Z", "a"-"z" and the space; nothing else.
    static bool IsAccepted(char c);
    /// What a text from the options file keeps: the characters IsAccepted takes,
    /// and the "_" of the game's own default add text.
    static bool IsKeptOnLoad(char c) { return IsAccepted(c) || c == '_'; }

    /// One typed character from the key-press event. Backspace removes the last
    /// character; an accepted character is appended while the text is at most
    /// MaxWidth wide (measured before adding it) and shorter than MaxLength.
    /// Anything else is ignored. True when text changed. Enter is not handled
    /// here: it activates the highlighted item.
    bool Type(std::string& text, char c) const;

    /// A text from the options file held to the same rules, as if typed: refused
    /// characters are dropped and it stops at MaxLength characters (and at the
    /// width limit when this editor measures). The "_" of the game's own default
    /// add text is kept, so that text and its extensions survive a save and a load.
    std::string Retype(const std::string& text) const;

    /// Retype without measuring: what the options file loader applies.
    static std::string HoldToRules(const std::string& text) { return TNameEditor({}).Retype(text); }

private:
    bool Fits(const std::string& text) const;
    TMeasure measure_;
};

} // namespace vantorel

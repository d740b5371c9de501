#include "score_format/name_editor.hpp"

namespace vantorel {

bool TNameEditor::IsAccepted(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ';
}

bool TNameEditor::Fits(const std::string& text) const {
    if (text.size() >= MaxLength)
        return false;
    return !measure_ || measure_(text) <= MaxWidth;
}

bool TNameEditor::Type(std::string& text, char c) const {
    if (c == Backspace) {
        if (text.empty())
            return false;
        text.pop_back();
        return true;
    }
    if (!IsAccepted(c) || !Fits(text))
        return false;
    text += c;
    return true;
}

std::string TNameEditor::Retype(const std::string& text) const {
    std::string out;
    for (char c : text) {
        if (IsKeptOnLoad(c) && Fits(out))
            out += c;
    }
    return out;
}

} // namespace vantorel

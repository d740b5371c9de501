// Readable failure messages for the save-file types: bytes outside printable
// ASCII are shown as \xNN.
#pragma once

#include "storage/high_score_table.hpp"
#include "storage/options_record.hpp"

#include <cstdio>
#include <ostream>
#include <string>

namespace vantorel {

inline std::string Escaped(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

inline void PrintTo(const HighScoreEntry& e, std::ostream* os) {
    *os << "{" << Escaped(e.Name) << ", " << e.Score << "}";
}

inline void PrintTo(const OptionsRecord& o, std::ostream* os) {
    *os << "{" << int(o.FullScreen) << ", " << int(o.Music) << ", " << int(o.SoundEffects) << ", "
        << Escaped(o.AddText) << ", " << Escaped(o.StoredSignature) << "}";
}

} // namespace vantorel

// The player's settings, held for the whole run and kept in "Data/Save/options".
#pragma once

#include <cstdint>
#include <string>

namespace vantorel {

struct OptionsRecord {
    /// The add text of a first start; the editor refuses "_", but this text is
    /// the game's own and survives a load as it is.
    static constexpr const char* DefaultAddText = "_______";

    /// 1: the display runs full screen; 0: in a window. Every change is followed
    /// at once by SetDisplayMode.
    uint8_t FullScreen = 0;
    /// 1: the menu and race music play.
    uint8_t Music = 1;
    /// 1: the named sound effects play.
    uint8_t SoundEffects = 1;
    /// Free text typed on the options screen and sent with a score report; held
    /// to the name editor's rules.
    std::string AddText = DefaultAddText;
    /// The table signature read from the file; empty when there was none. Only
    /// the start-up check looks at it.
    std::string StoredSignature;

    bool operator==(const OptionsRecord&) const = default;
};

} // namespace vantorel

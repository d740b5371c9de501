// The numbered notifications the display sends to the image libraries and the
// sprite engine when its surfaces appear, go away or must be rebuilt.
#pragma once

namespace vantorel {

class TDXDraw;

enum class TDXDrawNotifyType : int {
    Destroying = 0,        ///< the display component is being destroyed
    Initializing = 1,      ///< initialisation begins
    Initialize = 2,        ///< the display is initialised
    InitializeSurface = 3, ///< the surfaces are initialised
    Finalize = 4,          ///< the display is being finalised
    FinalizeSurface = 5,   ///< the surfaces are being finalised
    Restore = 6,           ///< surfaces were restored; their contents must be rebuilt
    Initialize2 = 7,       ///< sent during initialisation just before Initialize
};

/// Something that follows a display; registered with TDXDraw::AddListener and
/// told of every notification, the most recently registered listener first.
class IDXDrawListener {
public:
    virtual void DXDrawNotify(TDXDraw& sender, TDXDrawNotifyType type) = 0;

protected:
    ~IDXDrawListener() = default;
};

} // namespace vantorel

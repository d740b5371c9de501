// The system pointer of the desktop, through SDL.
#pragma once

#include "platform/pointer.hpp"

namespace vantorel {

class TSdlPointer final : public IPointer {
public:
    void SetVisible(bool visible) override;
    bool Visible() const override;
    void SetRelative(bool relative) override;
    bool Relative() const override;
};

} // namespace vantorel

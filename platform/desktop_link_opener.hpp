// Links opened by the desktop, through SDL.
#pragma once

#include "platform/link_opener.hpp"

namespace vantorel {

class TDesktopLinkOpener final : public ILinkOpener {
public:
    bool Open(const std::string& address) override;
};

} // namespace vantorel

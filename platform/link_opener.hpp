// Handing a web address or a file to the desktop's own handler.
#pragma once

#include <string>
#include <vector>

namespace vantorel {

class ILinkOpener {
public:
    virtual ~ILinkOpener() = default;
    /// Asks the desktop to open address (a web address, or a file path that is made
    /// into a file: address) with its default handler, without waiting for it.
    /// False when the desktop refused; the game ignores that.
    virtual bool Open(const std::string& address) = 0;
};

/// The headless form: opens nothing and keeps the addresses it was given.
class TRecordingLinkOpener final : public ILinkOpener {
public:
    bool Open(const std::string& address) override {
        Opened.push_back(address);
        return true;
    }
    std::vector<std::string> Opened;
};

} // namespace vantorel

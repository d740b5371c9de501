#include "platform/desktop_link_opener.hpp"

#include <SDL.h>

#include <filesystem>

namespace vantorel {

namespace {

/// A path as the path part of a file: address, unsafe bytes percent-encoded.
std::string EncodePath(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '_' || c == '.' ||
                          c == '~';
        if (safe) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

} // namespace

bool TDesktopLinkOpener::Open(const std::string& address) {
    if (address.empty())
        return false;
    std::string url = address;
    if (address.find("://") == std::string::npos) {
        std::error_code ec;
        const auto path = std::filesystem::absolute(address, ec);
        if (ec)
            return false;
        url = "file://" + EncodePath(path.string());
    }
    return SDL_OpenURL(url.c_str()) == 0;
}

} // namespace vantorel

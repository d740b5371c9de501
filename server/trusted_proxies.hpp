// Which peers may name the client in X-Forwarded-For, and the client they name.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::server {

/// An address in the form the server logs and counts it by: IPv4 dotted, IPv6
/// compressed, an IPv4-mapped IPv6 address as IPv4; empty when text is no address.
std::string CanonicalAddress(std::string_view text);

class TTrustedProxies {
public:
    /// addresses: IPv4 or IPv6 addresses; throws std::invalid_argument naming one
    /// that is not.
    explicit TTrustedProxies(const std::vector<std::string>& addresses = {});

    bool Contains(std::string_view address) const;

    /// The client of a request from peer (canonical): peer itself unless peer is a
    /// trusted proxy; then the right-most X-Forwarded-For entry that is not itself
    /// a trusted proxy (each proxy appends the address it saw, so entries left of
    /// it are the client's to invent). An entry that is no address ends the walk
    /// at the last trusted hop.
    std::string ClientOf(const std::string& peer, std::string_view forwardedFor) const;

private:
    std::set<std::string, std::less<>> addresses_;
};

} // namespace vantorel::server

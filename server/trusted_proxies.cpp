#include "server/trusted_proxies.hpp"

#include <arpa/inet.h>

#include <cstring>
#include <stdexcept>

namespace vantorel::server {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string CanonicalAddress(std::string_view text) {
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN)
        return {};
    const std::string copy(text);
    char out[INET6_ADDRSTRLEN] = {};
    in_addr v4{};
    if (inet_pton(AF_INET, copy.c_str(), &v4) == 1)
        return inet_ntop(AF_INET, &v4, out, sizeof out) ? out : "";
    in6_addr v6{};
    if (inet_pton(AF_INET6, copy.c_str(), &v6) != 1)
        return {};
    if (IN6_IS_ADDR_V4MAPPED(&v6)) {
        std::memcpy(&v4, &v6.s6_addr[12], sizeof v4);
        return inet_ntop(AF_INET, &v4, out, sizeof out) ? out : "";
    }
    return inet_ntop(AF_INET6, &v6, out, sizeof out) ? out : "";
}

TTrustedProxies::TTrustedProxies(const std::vector<std::string>& addresses) {
    for (const std::string& address : addresses) {
        std::string canonical = CanonicalAddress(address);
        if (canonical.empty())
            throw std::invalid_argument("not an IP address: " + address);
        addresses_.insert(std::move(canonical));
    }
}

bool TTrustedProxies::Contains(std::string_view address) const {
    return addresses_.find(address) != addresses_.end();
}

std::string TTrustedProxies::ClientOf(const std::string& peer,
                                      std::string_view forwardedFor) const {
    if (!Contains(peer))
        return peer;
    std::string client = peer;
    while (!forwardedFor.empty()) {
        const size_t comma = forwardedFor.rfind(',');
        const std::string_view entry = Trimmed(
            comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1));
        forwardedFor =
            comma == std::string_view::npos ? std::string_view() : forwardedFor.substr(0, comma);
        std::string address = CanonicalAddress(entry);
        if (address.empty())
            return client;
        if (!Contains(address))
            return address;
        client = std::move(address);
    }
    return client;
}

} // namespace vantorel::server

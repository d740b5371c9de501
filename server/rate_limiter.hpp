// Reports accepted per client: a token bucket per client key that holds the
// whole minute's allowance and fills again at that rate. A client is an IPv4
// address or an IPv6 /64 (one subscriber's network: anyone holding a /64 has
// all of its addresses), IPv4-mapped IPv6 counting as the IPv4 address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vantorel::server {

class TRateLimiter {
public:
    /// perMinute reports per client per minute, 0 for no limit. At most
    /// maxClients are remembered. To make room for a new client the limiter
    /// forgets the one with the fullest bucket among the longest unseen (a full
    /// bucket is what a forgotten client starts with again, so nothing is lost),
    /// and never one that is throttled: a flood of new addresses cannot give a
    /// throttled client its allowance back. When every candidate is throttled
    /// the new client waits.
    explicit TRateLimiter(uint32_t perMinute, size_t maxClients = 65536);

    /// The key a connection's address is counted under: "a.b.c.d" for IPv4 and
    /// IPv4-mapped IPv6, "x:x:x:x::/64" for other IPv6 (brackets and a zone
    /// suffix ignored); anything unreadable as an address counts as itself.
    static std::string ClientKey(std::string_view address);

    /// True when the client with this key may send one more report at nowMs (a
    /// steady clock in milliseconds), taking one token; false when it is over
    /// its rate. Safe to call from several request threads.
    bool Allow(const std::string& key, int64_t nowMs);

    /// How many clients are remembered now.
    size_t Tracked() const;

private:
    struct TBucket {
        double Tokens;
        int64_t LastMs;
        std::list<std::string>::iterator Age;
    };

    /// The bucket's tokens at nowMs, refilled since it was last seen.
    double TokensAt(const TBucket& bucket, int64_t nowMs) const;
    /// Forgets one client to make room; false when none may be forgotten.
    bool MakeRoom(int64_t nowMs);

    const uint32_t perMinute_;
    const size_t maxClients_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, TBucket> buckets_;
    std::list<std::string> ages_; ///< most recently seen first
};

} // namespace vantorel::server

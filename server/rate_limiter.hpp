// Reports accepted per client address: a token bucket per address that holds
// the whole minute's allowance and fills again at that rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vantorel::server {

class TRateLimiter {
public:
    /// perMinute reports per address per minute, 0 for no limit. At most
    /// maxAddresses are remembered; beyond that the longest-unseen address is
    /// forgotten (it starts again with a full bucket), so memory stays bounded
    /// whatever the number of clients.
    explicit TRateLimiter(uint32_t perMinute, size_t maxAddresses = 65536);

    /// True when address may send one more report at nowMs (a steady clock in
    /// milliseconds), taking one token; false when it is over its rate.
    /// Safe to call from several request threads.
    bool Allow(const std::string& address, int64_t nowMs);

    /// How many addresses are remembered now.
    size_t Tracked() const;

private:
    struct TBucket {
        double Tokens;
        int64_t LastMs;
        std::list<std::string>::iterator Age;
    };

    const uint32_t perMinute_;
    const size_t maxAddresses_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, TBucket> buckets_;
    std::list<std::string> ages_; ///< most recently seen first
};

} // namespace vantorel::server

#include "server/rate_limiter.hpp"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>

namespace vantorel::server {

namespace {

/// How many of the longest-unseen clients are weighed when one must go. The
/// longest unseen have had the most time to refill; a throttled one among them
/// means a flood of new clients within a few seconds.
constexpr size_t kEvictionCandidates = 64;

} // namespace

TRateLimiter::TRateLimiter(uint32_t perMinute, size_t maxClients)
    : perMinute_(perMinute), maxClients_(std::max<size_t>(maxClients, 1)) {}

std::string TRateLimiter::ClientKey(std::string_view address) {
    std::string text(address);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        text = text.substr(1, text.size() - 2);
    if (const size_t zone = text.find('%'); zone != std::string::npos)
        text.resize(zone);
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        char out[INET_ADDRSTRLEN];
        return inet_ntop(AF_INET, &v4, out, sizeof out) ? out : text;
    }
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.c_str(), &v6) != 1)
        return std::string(address);
    const unsigned char* b = v6.s6_addr;
    const bool mapped = std::all_of(b, b + 10, [](unsigned char c) { return c == 0; }) &&
                        b[10] == 0xFF && b[11] == 0xFF;
    char out[48];
    if (mapped) {
        std::snprintf(out, sizeof out, "%u.%u.%u.%u", b[12], b[13], b[14], b[15]);
    } else {
        std::snprintf(out, sizeof out, "%x:%x:%x:%x::/64", b[0] << 8 | b[1], b[2] << 8 | b[3],
                      b[4] << 8 | b[5], b[6] << 8 | b[7]);
    }
    return out;
}

double TRateLimiter::TokensAt(const TBucket& bucket, int64_t nowMs) const {
    const double capacity = perMinute_;
    // A clock that steps back refills nothing.
    const int64_t elapsedMs = std::max<int64_t>(nowMs - bucket.LastMs, 0);
    return std::min(capacity, bucket.Tokens + static_cast<double>(elapsedMs) * capacity / 60000.0);
}

bool TRateLimiter::MakeRoom(int64_t nowMs) {
    auto chosen = ages_.end();
    double most = 0;
    size_t weighed = 0;
    for (auto it = ages_.end(); it != ages_.begin() && weighed < kEvictionCandidates; ++weighed) {
        --it;
        const double tokens = TokensAt(buckets_.at(*it), nowMs);
        if (tokens >= 1.0 && tokens > most) {
            most = tokens;
            chosen = it;
            if (tokens >= perMinute_)
                break; // full: as good as new
        }
    }
    if (chosen == ages_.end())
        return false;
    buckets_.erase(*chosen);
    ages_.erase(chosen);
    return true;
}

bool TRateLimiter::Allow(const std::string& key, int64_t nowMs) {
    if (perMinute_ == 0)
        return true;
    const std::lock_guard lock(mutex_);
    auto found = buckets_.find(key);
    if (found == buckets_.end()) {
        if (buckets_.size() >= maxClients_ && !MakeRoom(nowMs))
            return false;
        ages_.push_front(key);
        found =
            buckets_.emplace(key, TBucket{static_cast<double>(perMinute_), nowMs, ages_.begin()})
                .first;
    } else {
        ages_.splice(ages_.begin(), ages_, found->second.Age);
    }
    TBucket& bucket = found->second;
    bucket.Tokens = TokensAt(bucket, nowMs);
    bucket.LastMs = std::max(bucket.LastMs, nowMs);
    if (bucket.Tokens < 1.0)
        return false;
    bucket.Tokens -= 1.0;
    return true;
}

size_t TRateLimiter::Tracked() const {
    const std::lock_guard lock(mutex_);
    return buckets_.size();
}

} // namespace vantorel::server

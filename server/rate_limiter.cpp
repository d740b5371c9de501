#include "server/rate_limiter.hpp"

#include <algorithm>

namespace vantorel::server {

TRateLimiter::TRateLimiter(uint32_t perMinute, size_t maxAddresses)
    : perMinute_(perMinute), maxAddresses_(std::max<size_t>(maxAddresses, 1)) {}

bool TRateLimiter::Allow(const std::string& address, int64_t nowMs) {
    if (perMinute_ == 0)
        return true;
    const double capacity = perMinute_;
    const std::lock_guard lock(mutex_);
    auto found = buckets_.find(address);
    if (found == buckets_.end()) {
        if (buckets_.size() >= maxAddresses_) {
            buckets_.erase(ages_.back());
            ages_.pop_back();
        }
        ages_.push_front(address);
        found = buckets_.emplace(address, TBucket{capacity, nowMs, ages_.begin()}).first;
    } else {
        ages_.splice(ages_.begin(), ages_, found->second.Age);
    }
    TBucket& bucket = found->second;
    // A clock that steps back refills nothing.
    const int64_t elapsedMs = std::max<int64_t>(nowMs - bucket.LastMs, 0);
    bucket.Tokens =
        std::min(capacity, bucket.Tokens + static_cast<double>(elapsedMs) * capacity / 60000.0);
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

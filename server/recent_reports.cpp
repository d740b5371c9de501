#include "server/recent_reports.hpp"

#include <algorithm>
#include <functional>

namespace vantorel::server {

TRecentReports::TRecentReports(int64_t windowMs, size_t maxEntries)
    : windowMs_(windowMs), maxEntries_(std::max<size_t>(maxEntries, 1)) {}

std::string TRecentReports::Key(const std::string& client, const std::string& code) {
    // The code's hash stands for it: up to 512 bytes each would be much memory
    // for nothing, and a collision within one client's reports only drops
    // that client's own report.
    return client + '\n' + std::to_string(std::hash<std::string>{}(code));
}

void TRecentReports::Expire(int64_t nowMs) {
    while (!order_.empty() &&
           (order_.front().first <= nowMs - windowMs_ || order_.size() > maxEntries_)) {
        const auto found = claimed_.find(order_.front().second);
        // A key claimed again later has a newer entry of its own in order_.
        if (found != claimed_.end() && found->second == order_.front().first)
            claimed_.erase(found);
        order_.pop_front();
    }
}

bool TRecentReports::Claim(const std::string& client, const std::string& code, int64_t nowMs) {
    if (windowMs_ <= 0)
        return true;
    const std::string key = Key(client, code);
    const std::lock_guard lock(mutex_);
    Expire(nowMs);
    const auto found = claimed_.find(key);
    if (found != claimed_.end() && found->second > nowMs - windowMs_)
        return false;
    claimed_[key] = nowMs;
    order_.emplace_back(nowMs, key);
    if (order_.size() > maxEntries_)
        Expire(nowMs);
    return true;
}

void TRecentReports::Release(const std::string& client, const std::string& code) {
    if (windowMs_ <= 0)
        return;
    const std::lock_guard lock(mutex_);
    claimed_.erase(Key(client, code));
}

} // namespace vantorel::server

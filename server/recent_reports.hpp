// Reports a client sent a short while ago, so that a report sent again (a
// captured request replayed, a retry after a lost answer) is stored once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vantorel::server {

class TRecentReports {
public:
    /// A code is remembered windowMs after it was claimed; at most maxEntries
    /// codes are remembered, the oldest forgotten first.
    explicit TRecentReports(int64_t windowMs, size_t maxEntries = 200000);

    /// True when no report with this code came from this client within the
    /// window (the code is then claimed, at nowMs on a steady clock); false
    /// for a repeat. Safe to call from several request threads.
    bool Claim(const std::string& client, const std::string& code, int64_t nowMs);

    /// Gives a claim back: the report was not stored after all, so the client
    /// may send it again.
    void Release(const std::string& client, const std::string& code);

private:
    static std::string Key(const std::string& client, const std::string& code);
    void Expire(int64_t nowMs);

    const int64_t windowMs_;
    const size_t maxEntries_;
    std::mutex mutex_;
    std::unordered_map<std::string, int64_t> claimed_;  ///< key -> when claimed
    std::deque<std::pair<int64_t, std::string>> order_; ///< oldest claim first
};

} // namespace vantorel::server

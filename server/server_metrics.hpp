// The server's counters for /metrics: reports by outcome, request latency, open
// connections, database commits and dropped log lines, rendered in the Prometheus
// text format (version 0.0.4).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace vantorel::server {

class TServerMetrics {
public:
    TServerMetrics() = default;
    TServerMetrics(const TServerMetrics&) = delete;
    TServerMetrics& operator=(const TServerMetrics&) = delete;

    /// One report answered: "accepted" or the reason it was refused ("malformed",
    /// "rate_limited", "duplicate", "database", ...). Any thread.
    void CountReport(std::string_view outcome);
    /// One request answered, seconds from its first byte to its answer. Any thread.
    void ObserveRequest(double seconds);
    void ConnectionOpened();
    void ConnectionClosed();
    /// One database commit: how long it took and how many reports it held.
    void ObserveCommit(double seconds, size_t batchSize);
    /// Log lines the log writer could not write.
    void CountDroppedLogLines(uint64_t lines);
    /// One replay upload answered: "queued" or why it was refused. Any thread.
    void CountReplayUpload(std::string_view outcome);
    /// One verification done: "verified" or the refusal's key ("refused",
    /// "timed_out", ...), and how long the verifier ran.
    void CountReplayCheck(std::string_view outcome, double seconds);

    /// Everything in the Prometheus text format 0.0.4.
    std::string Render() const;

private:
    /// A histogram with fixed upper bounds; lock-free.
    template <size_t N> struct THistogram {
        std::array<double, N> Bounds;
        std::array<std::atomic<uint64_t>, N + 1> Counts{}; ///< the last one: above every bound
        std::atomic<uint64_t> SumMicro{0};                 ///< the sum, in millionths
        void Observe(double value);
        void Render(std::string& out, std::string_view name, std::string_view help) const;
    };

    mutable std::mutex reportsMutex_;
    std::map<std::string, uint64_t, std::less<>> reports_;
    THistogram<11> requestSeconds_{
        {0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 1, 5}};
    THistogram<10> commitSeconds_{{0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 1}};
    THistogram<8> commitBatch_{{1, 2, 4, 8, 16, 32, 64, 128}};
    std::atomic<int64_t> openConnections_{0};
    std::atomic<uint64_t> connectionsTotal_{0};
    std::atomic<uint64_t> droppedLogLines_{0};
    std::map<std::string, uint64_t, std::less<>> replayUploads_; ///< under reportsMutex_
    std::map<std::string, uint64_t, std::less<>> replayChecks_;  ///< under reportsMutex_
    THistogram<9> verifySeconds_{{0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 15}};
};

} // namespace vantorel::server

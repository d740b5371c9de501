#include "server/server_metrics.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantorel::server {

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

/// A label value with \, " and line ends escaped as the text format asks.
std::string LabelValue(std::string_view value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out;
}

void Header(std::string& out, std::string_view name, std::string_view help, std::string_view type) {
    out += "# HELP ";
    out += name;
    out += ' ';
    out += help;
    out += "\n# TYPE ";
    out += name;
    out += ' ';
    out += type;
    out += '\n';
}

} // namespace

template <size_t N> void TServerMetrics::THistogram<N>::Observe(double value) {
    size_t bucket = 0;
    while (bucket < N && value > Bounds[bucket])
        ++bucket;
    Counts[bucket].fetch_add(1, std::memory_order_relaxed);
    const double micro = std::max(0.0, value) * 1e6;
    SumMicro.fetch_add(static_cast<uint64_t>(std::llround(micro)), std::memory_order_relaxed);
}

template <size_t N>
void TServerMetrics::THistogram<N>::Render(std::string& out, std::string_view name,
                                           std::string_view help) const {
    Header(out, name, help, "histogram");
    uint64_t cumulative = 0;
    for (size_t i = 0; i <= N; ++i) {
        cumulative += Counts[i].load(std::memory_order_relaxed);
        out += name;
        out += "_bucket{le=\"";
        out += i < N ? Number(Bounds[i]) : "+Inf";
        out += "\"} " + std::to_string(cumulative) + "\n";
    }
    out += std::string(name) + "_sum " +
           Number(static_cast<double>(SumMicro.load(std::memory_order_relaxed)) / 1e6) + "\n";
    out += std::string(name) + "_count " + std::to_string(cumulative) + "\n";
}

void TServerMetrics::CountReport(std::string_view outcome) {
    const std::lock_guard lock(reportsMutex_);
    const auto found = reports_.find(outcome);
    if (found != reports_.end())
        ++found->second;
    else
        reports_.emplace(std::string(outcome), 1);
}

void TServerMetrics::CountReplayUpload(std::string_view outcome) {
    const std::lock_guard lock(reportsMutex_);
    const auto found = replayUploads_.find(outcome);
    if (found != replayUploads_.end())
        ++found->second;
    else
        replayUploads_.emplace(std::string(outcome), 1);
}

void TServerMetrics::CountReplayCheck(std::string_view outcome, double seconds) {
    verifySeconds_.Observe(seconds);
    const std::lock_guard lock(reportsMutex_);
    const auto found = replayChecks_.find(outcome);
    if (found != replayChecks_.end())
        ++found->second;
    else
        replayChecks_.emplace(std::string(outcome), 1);
}

void TServerMetrics::ObserveRequest(double seconds) {
    requestSeconds_.Observe(seconds);
}

void TServerMetrics::ConnectionOpened() {
    openConnections_.fetch_add(1, std::memory_order_relaxed);
    connectionsTotal_.fetch_add(1, std::memory_order_relaxed);
}

void TServerMetrics::ConnectionClosed() {
    openConnections_.fetch_sub(1, std::memory_order_relaxed);
}

void TServerMetrics::ObserveCommit(double seconds, size_t batchSize) {
    commitSeconds_.Observe(seconds);
    commitBatch_.Observe(static_cast<double>(batchSize));
}

void TServerMetrics::CountDroppedLogLines(uint64_t lines) {
    droppedLogLines_.fetch_add(lines, std::memory_order_relaxed);
}

std::string TServerMetrics::Render() const {
    std::string out;
    Header(out, "vantorel_reports_total", "Score reports answered, by outcome.", "counter");
    {
        const std::lock_guard lock(reportsMutex_);
        if (reports_.find("accepted") == reports_.end())
            out += "vantorel_reports_total{outcome=\"accepted\"} 0\n";
        for (const auto& [outcome, count] : reports_)
            out += "vantorel_reports_total{outcome=\"" + LabelValue(outcome) + "\"} " +
                   std::to_string(count) + "\n";
    }
    requestSeconds_.Render(out, "vantorel_request_duration_seconds",
                           "Time from a request's first byte to its answer.");
    Header(out, "vantorel_open_connections", "Client connections open now.", "gauge");
    out += "vantorel_open_connections " +
           std::to_string(openConnections_.load(std::memory_order_relaxed)) + "\n";
    Header(out, "vantorel_connections_total", "Client connections accepted.", "counter");
    out += "vantorel_connections_total " +
           std::to_string(connectionsTotal_.load(std::memory_order_relaxed)) + "\n";
    commitSeconds_.Render(out, "vantorel_db_commit_duration_seconds",
                          "Time one database commit of reports took.");
    commitBatch_.Render(out, "vantorel_db_commit_batch_size", "Reports stored by one commit.");
    {
        const std::lock_guard lock(reportsMutex_);
        Header(out, "vantorel_replay_uploads_total", "Replay uploads answered, by outcome.",
               "counter");
        if (replayUploads_.find("queued") == replayUploads_.end())
            out += "vantorel_replay_uploads_total{outcome=\"queued\"} 0\n";
        for (const auto& [outcome, count] : replayUploads_)
            out += "vantorel_replay_uploads_total{outcome=\"" + LabelValue(outcome) + "\"} " +
                   std::to_string(count) + "\n";
        Header(out, "vantorel_replay_checks_total",
               "Replays played back by the verifier, by outcome (verified, or why refused).",
               "counter");
        if (replayChecks_.find("verified") == replayChecks_.end())
            out += "vantorel_replay_checks_total{outcome=\"verified\"} 0\n";
        for (const auto& [outcome, count] : replayChecks_)
            out += "vantorel_replay_checks_total{outcome=\"" + LabelValue(outcome) + "\"} " +
                   std::to_string(count) + "\n";
    }
    verifySeconds_.Render(out, "vantorel_replay_verify_duration_seconds",
                          "Time the verifier took to play one replay back.");
    Header(out, "vantorel_log_lines_dropped_total",
           "Log lines dropped because the log could not be written in time.", "counter");
    out += "vantorel_log_lines_dropped_total " +
           std::to_string(droppedLogLines_.load(std::memory_order_relaxed)) + "\n";
    return out;
}

} // namespace vantorel::server

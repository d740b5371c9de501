// The /metrics text: the Prometheus text format's cumulative buckets, the labels
// of report outcomes and counts that add up when many threads count at once.
#include "server/server_metrics.hpp"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace vantorel::server {
namespace {

bool Has(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

TEST(ServerMetrics, HistogramBucketsAreCumulativeWithSumAndCount) {
    TServerMetrics metrics;
    for (const double seconds : {0.0002, 0.0007, 0.003, 0.003, 7.0})
        metrics.ObserveRequest(seconds);
    metrics.ObserveCommit(0.004, 3);
    metrics.ObserveCommit(0.02, 200);
    const std::string text = metrics.Render();
    EXPECT_TRUE(Has(text, "# TYPE vantorel_request_duration_seconds histogram")) << text;
    EXPECT_TRUE(Has(text, "vantorel_request_duration_seconds_bucket{le=\"0.0005\"} 1"));
    EXPECT_TRUE(Has(text, "vantorel_request_duration_seconds_bucket{le=\"0.001\"} 2"));
    EXPECT_TRUE(Has(text, "vantorel_request_duration_seconds_bucket{le=\"0.005\"} 4"));
    EXPECT_TRUE(Has(text, "vantorel_request_duration_seconds_bucket{le=\"5\"} 4"));
    EXPECT_TRUE(Has(text, "vantorel_request_duration_seconds_bucket{le=\"+Inf\"} 5"));
    EXPECT_TRUE(Has(text, "vantorel_request_duration_seconds_sum 7.0069")) << text;
    EXPECT_TRUE(Has(text, "vantorel_request_duration_seconds_count 5"));
    EXPECT_TRUE(Has(text, "vantorel_db_commit_batch_size_bucket{le=\"4\"} 1"));
    EXPECT_TRUE(Has(text, "vantorel_db_commit_batch_size_bucket{le=\"128\"} 1"));
    EXPECT_TRUE(Has(text, "vantorel_db_commit_batch_size_bucket{le=\"+Inf\"} 2"));
    EXPECT_TRUE(Has(text, "vantorel_db_commit_duration_seconds_count 2"));
}

TEST(ServerMetrics, ReportsByOutcomeConnectionsAndDroppedLines) {
    TServerMetrics metrics;
    EXPECT_TRUE(Has(metrics.Render(), "vantorel_reports_total{outcome=\"accepted\"} 0"));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&metrics] {
            for (int i = 0; i < 1000; ++i) {
                metrics.CountReport(i % 2 ? "accepted" : "rate_limited");
                metrics.ConnectionOpened();
                metrics.ConnectionClosed();
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    metrics.CountReport("odd\"one\\");
    metrics.ConnectionOpened();
    metrics.CountDroppedLogLines(3);
    const std::string text = metrics.Render();
    EXPECT_TRUE(Has(text, "vantorel_reports_total{outcome=\"accepted\"} 2000")) << text;
    EXPECT_TRUE(Has(text, "vantorel_reports_total{outcome=\"rate_limited\"} 2000"));
    EXPECT_TRUE(Has(text, "vantorel_reports_total{outcome=\"odd\\\"one\\\\\"} 1"));
    EXPECT_TRUE(Has(text, "vantorel_open_connections 1"));
    EXPECT_TRUE(Has(text, "vantorel_connections_total 4001"));
    EXPECT_TRUE(Has(text, "vantorel_log_lines_dropped_total 3"));
}

} // namespace
} // namespace vantorel::server

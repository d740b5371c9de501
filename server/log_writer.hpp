// The server's log, written by a thread of its own so that a log nobody reads
// (a full pipe on standard output) never holds up a request: lines wait in a
// bounded queue, and the ones that find it full are dropped and counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vantorel::server {

class TLogWriter {
public:
    /// sink writes lines (each without its line end) and may block; it runs on the
    /// writer's thread only. dropped, when set, is told of every line dropped
    /// (the /metrics counter). droppedLine makes the line written when writing
    /// resumes after drops, from their count.
    TLogWriter(std::function<void(const std::string&)> sink, size_t capacity,
               std::function<void(uint64_t)> dropped,
               std::function<std::string(uint64_t)> droppedLine);
    /// Writes what is queued; a sink still stuck after a second is left behind.
    ~TLogWriter();
    TLogWriter(const TLogWriter&) = delete;
    TLogWriter& operator=(const TLogWriter&) = delete;

    /// Queues one line; never waits for the sink. Any thread.
    void Push(std::string line);

    /// Lines dropped so far.
    uint64_t Dropped() const;

private:
    struct TState;
    std::shared_ptr<TState> state_;
};

} // namespace vantorel::server

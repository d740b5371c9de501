#include "server/log_writer.hpp"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace vantorel::server {

/// Shared with the writer thread, which may outlive the writer when its sink is
/// stuck at the end.
struct TLogWriter::TState {
    std::function<void(const std::string&)> Sink;
    size_t Capacity = 0;
    std::function<void(uint64_t)> DroppedObserver;
    std::function<std::string(uint64_t)> DroppedLine;

    std::mutex Mutex;
    std::condition_variable Wake;
    std::condition_variable Done;
    std::deque<std::string> Lines;
    uint64_t DroppedUnreported = 0; ///< dropped since the last line written
    uint64_t DroppedTotal = 0;
    bool Closing = false;
    bool Finished = false;

    void Write() {
        std::unique_lock lock(Mutex);
        for (;;) {
            Wake.wait(lock, [this] { return Closing || !Lines.empty(); });
            if (Lines.empty() && Closing)
                break;
            std::vector<std::string> batch(std::make_move_iterator(Lines.begin()),
                                           std::make_move_iterator(Lines.end()));
            Lines.clear();
            const uint64_t dropped = DroppedUnreported;
            DroppedUnreported = 0;
            lock.unlock();
            if (dropped > 0 && DroppedLine)
                Sink(DroppedLine(dropped));
            for (const std::string& line : batch)
                Sink(line);
            lock.lock();
        }
        Finished = true;
        Done.notify_all();
    }
};

TLogWriter::TLogWriter(std::function<void(const std::string&)> sink, size_t capacity,
                       std::function<void(uint64_t)> dropped,
                       std::function<std::string(uint64_t)> droppedLine)
    : state_(std::make_shared<TState>()) {
    state_->Sink = std::move(sink);
    state_->Capacity = capacity == 0 ? 1 : capacity;
    state_->DroppedObserver = std::move(dropped);
    state_->DroppedLine = std::move(droppedLine);
    std::thread([state = state_] { state->Write(); }).detach();
}

TLogWriter::~TLogWriter() {
    std::unique_lock lock(state_->Mutex);
    state_->Closing = true;
    state_->Wake.notify_all();
    state_->Done.wait_for(lock, std::chrono::seconds(1), [this] { return state_->Finished; });
}

void TLogWriter::Push(std::string line) {
    {
        const std::lock_guard lock(state_->Mutex);
        if (state_->Lines.size() < state_->Capacity) {
            state_->Lines.push_back(std::move(line));
            state_->Wake.notify_one();
            return;
        }
        ++state_->DroppedUnreported;
        ++state_->DroppedTotal;
    }
    if (state_->DroppedObserver)
        state_->DroppedObserver(1);
}

uint64_t TLogWriter::Dropped() const {
    const std::lock_guard lock(state_->Mutex);
    return state_->DroppedTotal;
}

} // namespace vantorel::server

// Where window-system events come from: the desktop, or a script in tests.
#pragma once

#include "platform/events.hpp"

#include <cstdint>
#include <deque>

namespace vantorel {

class IEventSource {
public:
    virtual ~IEventSource() = default;
    /// Takes the next pending event without waiting; false when there is none.
    virtual bool Poll(TPlatformEvent& out) = 0;
    /// Waits up to timeoutMs for an event; false when none came.
    virtual bool Wait(TPlatformEvent& out, int32_t timeoutMs) = 0;
};

/// Events queued by a test, delivered in order; Wait never blocks.
class TScriptedEventSource final : public IEventSource {
public:
    void Push(const TPlatformEvent& e) { queue_.push_back(e); }
    bool Empty() const { return queue_.empty(); }
    bool Poll(TPlatformEvent& out) override {
        if (queue_.empty())
            return false;
        out = queue_.front();
        queue_.pop_front();
        return true;
    }
    bool Wait(TPlatformEvent& out, int32_t) override { return Poll(out); }

private:
    std::deque<TPlatformEvent> queue_;
};

} // namespace vantorel

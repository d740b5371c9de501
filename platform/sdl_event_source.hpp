// The desktop's events, through SDL, turned into the game's plain events.
#pragma once

#include "platform/event_source.hpp"

namespace vantorel {

class TSdlEventSource final : public IEventSource {
public:
    bool Poll(TPlatformEvent& out) override { return PollPlatformEvent(out); }
    bool Wait(TPlatformEvent& out, int32_t timeoutMs) override {
        return WaitPlatformEvent(out, timeoutMs);
    }
};

} // namespace vantorel

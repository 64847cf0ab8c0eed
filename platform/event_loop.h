#pragma once
// Time passing while the window keeps handling its events.

#include <functional>

namespace zandrel {

class EventLoop {
public:
    virtual ~EventLoop() = default;
    // Handles every window event that is waiting, then returns.
    virtual void processEvents() = 0;
    // Returns no earlier than `seconds` from now, handling window events
    // meanwhile; or sooner, as soon as `until` answers true.
    virtual void waitSeconds(int seconds, const std::function<bool()> &until = {}) = 0;
    // Blocks for the given time without handling events.
    virtual void sleepMilliseconds(int milliseconds) = 0;
};

}  // namespace zandrel

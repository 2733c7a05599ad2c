#pragma once

#include <functional>

namespace quorvale::platform {

// The GUI thread's queue. A seam so that deferred work can be run step by step in tests.
class MainQueue {
public:
    virtual ~MainQueue() = default;
    virtual void async(std::function<void()> block) = 0;
    virtual void asyncAfter(double seconds, std::function<void()> block) = 0;
    virtual bool isMainThread() const = 0;
};

} // namespace quorvale::platform

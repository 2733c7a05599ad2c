#pragma once

#include "platform/MainQueue.h"

namespace quorvale::platform {

class QtMainQueue : public MainQueue {
public:
    void async(std::function<void()> block) override;
    void asyncAfter(double seconds, std::function<void()> block) override;
    bool isMainThread() const override;
};

} // namespace quorvale::platform

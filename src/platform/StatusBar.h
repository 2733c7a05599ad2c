#pragma once

#include "platform/StatusItem.h"

#include <memory>

namespace quorvale::platform {

// The system tray, as far as the app can reach it.
class StatusBar {
public:
    virtual ~StatusBar() = default;
    virtual std::unique_ptr<StatusItem> makeStatusItem() = 0;
};

} // namespace quorvale::platform

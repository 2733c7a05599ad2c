#include "platform/linux/LinuxStatusBar.h"

#include "platform/linux/LinuxStatusItem.h"

namespace quorvale::platform {

std::unique_ptr<StatusItem> LinuxStatusBar::makeStatusItem() {
    return std::make_unique<LinuxStatusItem>();
}

} // namespace quorvale::platform

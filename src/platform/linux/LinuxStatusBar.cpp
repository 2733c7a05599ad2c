#include "platform/linux/LinuxStatusBar.h"

#include "platform/linux/QtStatusItem.h"
#include "platform/linux/XEmbedStatusItem.h"

namespace quorvale::platform {

std::unique_ptr<StatusItem> LinuxStatusBar::makeStatusItem() {
    if (XEmbedStatusItem::trayOwner() != XCB_WINDOW_NONE) {
        return std::make_unique<XEmbedStatusItem>();
    }
    return std::make_unique<QtStatusItem>();
}

} // namespace quorvale::platform

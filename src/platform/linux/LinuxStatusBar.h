#pragma once

#include "platform/StatusBar.h"

namespace quorvale::platform {

// Docks our own icon window where an XEmbed tray runs or starts later, so drops work; else leaves
// the icon to Qt, which uses a StatusNotifier host when there is one.
class LinuxStatusBar : public StatusBar {
public:
    std::unique_ptr<StatusItem> makeStatusItem() override;
};

} // namespace quorvale::platform

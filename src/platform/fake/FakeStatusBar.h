#pragma once

#include "platform/StatusBar.h"
#include "platform/fake/FakeStatusItem.h"

namespace quorvale::platform {

// Hands out items with a button (an XEmbed tray) unless told the host draws the icon.
class FakeStatusBar : public StatusBar {
public:
    std::unique_ptr<StatusItem> makeStatusItem() override {
        auto item = std::make_unique<FakeStatusItem>(withButton);
        item->trayPresent = trayPresent;
        lastItem = item.get();
        return item;
    }

    bool withButton = true;
    bool trayPresent = true;
    FakeStatusItem* lastItem = nullptr;
};

} // namespace quorvale::platform

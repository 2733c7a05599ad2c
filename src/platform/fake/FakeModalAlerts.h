#pragma once

#include "platform/ModalAlerts.h"

#include <vector>

namespace quorvale::platform {

class FakeModalAlerts : public ModalAlerts {
public:
    bool hasModalWindow() const override { return modalWindowOpen; }
    int runModal(const AlertRequest& alert) override {
        shown.push_back(alert);
        return response;
    }

    bool modalWindowOpen = false;
    int response = kFirstButtonResponse + 1;
    std::vector<AlertRequest> shown;
};

} // namespace quorvale::platform

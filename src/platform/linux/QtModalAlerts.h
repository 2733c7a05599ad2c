#pragma once

#include "platform/ModalAlerts.h"

namespace quorvale::platform {

class QtModalAlerts : public ModalAlerts {
public:
    bool hasModalWindow() const override;
    int runModal(const AlertRequest& alert) override;
};

} // namespace quorvale::platform

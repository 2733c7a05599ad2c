#pragma once

#include "platform/ActivationPolicyService.h"

#include <QStringList>

namespace quorvale::platform {

class FakeActivationPolicyService : public ActivationPolicyService {
public:
    Policy activationPolicy() const override { return policy; }
    void setActivationPolicy(Policy newPolicy) override {
        calls.append(newPolicy == Policy::regular ? "setRegular" : "setAccessory");
        policy = newPolicy;
    }
    void unhide() override { calls.append("unhide"); }
    void activateIgnoringOtherApps() override { calls.append("activate"); }
    void orderFrontVisibleWindowsRegardless() override { calls.append("orderFront"); }

    Policy policy = Policy::accessory;
    QStringList calls;
};

} // namespace quorvale::platform

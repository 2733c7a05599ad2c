#pragma once

namespace quorvale::platform {

// Whether the app presents itself as a regular application (taskbar entries) or as a
// tray-only accessory. GUI thread only.
class ActivationPolicyService {
public:
    enum class Policy { regular, accessory };

    virtual ~ActivationPolicyService() = default;
    virtual Policy activationPolicy() const = 0;
    virtual void setActivationPolicy(Policy policy) = 0;
    virtual void unhide() = 0;
    virtual void activateIgnoringOtherApps() = 0;
    // Raises every visible window without giving it focus.
    virtual void orderFrontVisibleWindowsRegardless() = 0;
};

} // namespace quorvale::platform

#pragma once

#include <QString>
#include <optional>

namespace quorvale::platform {

// Starting the app when the user logs in.
class LoginItemService {
public:
    enum Status { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

    virtual ~LoginItemService() = default;
    virtual Status status() const = 0;
    // Each returns the error's description, or nothing on success.
    virtual std::optional<QString> registerItem() = 0;
    virtual std::optional<QString> unregisterItem() = 0;
};

} // namespace quorvale::platform

#pragma once

#include "platform/LoginItemService.h"

#include <QStringList>

namespace quorvale::platform {

class FakeLoginItemService : public LoginItemService {
public:
    Status status() const override { return currentStatus; }
    std::optional<QString> registerItem() override {
        calls.append("register");
        if (failure) {
            return failure;
        }
        currentStatus = enabled;
        return std::nullopt;
    }
    std::optional<QString> unregisterItem() override {
        calls.append("unregister");
        if (failure) {
            return failure;
        }
        currentStatus = notRegistered;
        return std::nullopt;
    }

    Status currentStatus = notRegistered;
    std::optional<QString> failure;
    QStringList calls;
};

} // namespace quorvale::platform

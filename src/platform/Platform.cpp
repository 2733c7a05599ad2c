#include "platform/Platform.h"

#include <QtGlobal>

namespace quorvale::platform {
namespace {
Platform& installed() {
    static Platform platform;
    return platform;
}
} // namespace

const Platform& current() {
    return installed();
}

void install(Platform platform) {
    installed() = std::move(platform);
}

} // namespace quorvale::platform

#include "platform/fake/FakePlatform.h"

namespace quorvale::platform {

FakePlatform::FakePlatform() {
    install(Platform{mainQueue, clipboard, sounds, screenCapturePermission, alerts, urlOpener,
                     screens, defaults, loginItem, activationPolicy, textRecognizer});
}

FakePlatform::~FakePlatform() {
    install(Platform{});
}

} // namespace quorvale::platform

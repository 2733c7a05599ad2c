#include "platform/linux/QtScreens.h"

#include <QGuiApplication>
#include <QScreen>

namespace quorvale::platform {

std::optional<QRect> QtScreens::mainScreenVisibleFrame() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return std::nullopt;
    }
    return screen->availableGeometry();
}

} // namespace quorvale::platform

#include "platform/linux/DesktopUrlOpener.h"

#include <QDesktopServices>

namespace quorvale::platform {

bool DesktopUrlOpener::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace quorvale::platform

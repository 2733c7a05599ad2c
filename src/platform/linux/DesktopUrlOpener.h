#pragma once

#include "platform/UrlOpener.h"

namespace quorvale::platform {

class DesktopUrlOpener : public UrlOpener {
public:
    bool openUrl(const QUrl& url) override;
};

} // namespace quorvale::platform

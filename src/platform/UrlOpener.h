#pragma once

#include <QUrl>

namespace quorvale::platform {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual bool openUrl(const QUrl& url) = 0;
};

} // namespace quorvale::platform

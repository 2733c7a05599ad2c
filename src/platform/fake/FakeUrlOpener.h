#pragma once

#include "platform/UrlOpener.h"

#include <QList>

namespace quorvale::platform {

class FakeUrlOpener : public UrlOpener {
public:
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

} // namespace quorvale::platform

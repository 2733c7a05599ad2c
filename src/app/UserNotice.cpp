#include "app/UserNotice.h"

#include "platform/Platform.h"

#include <QMessageBox>
#include <cstdio>

namespace quorvale {

void showUserNotice(const QString& text) {
    std::fprintf(stderr, "quorvale: %s\n", qPrintable(text));
    const auto& mainQueue = platform::current().mainQueue;
    if (!mainQueue) {
        return;
    }
    mainQueue->async([text] {
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Quorvale"), text,
                                    QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    });
}

} // namespace quorvale

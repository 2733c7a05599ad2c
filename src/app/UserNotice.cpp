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
        // Notices of the start-up come with the settings window opening: stay above it.
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
        box->show();
        box->raise();
        box->activateWindow();
    });
}

} // namespace quorvale

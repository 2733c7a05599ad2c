#include "app/UserNotice.h"

#include "platform/Platform.h"
#include "shared/Log.h"

#include <QMessageBox>

namespace quorvale {

void showUserNotice(const QString& text) {
    qCWarning(Log::general).noquote() << text;
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

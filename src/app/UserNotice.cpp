#include "app/UserNotice.h"

#include "platform/Platform.h"
#include "preferences/PreferenceManager.h"
#include "shared/BindableCommands.h"
#include "shared/Log.h"

#include <QCoreApplication>
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

void showShortcutsUnavailableNotice() {
    const QString reason =
        platform::current().hotKeys->describeStatus(platform::GlobalHotKeys::kHotKeysUnavailable);
    const QString text = QCoreApplication::translate(
                             "Launcher", "Global shortcuts cannot be registered here: %1. Bind "
                                         "these commands in your desktop's keyboard settings "
                                         "instead:\n%2")
                             .arg(reason, bindableCommands().join(u'\n'));
    // Once per reason, not at every start: the Shortcuts pane keeps saying it.
    static const QString kShownKey = QStringLiteral("ShortcutsUnavailableNoticeReason");
    auto& preferences = PreferenceManager::shared();
    if (preferences.defaults().stringForKey(kShownKey) == reason) {
        qCInfo(Log::general).noquote() << text;
        return;
    }
    preferences.save(reason, kShownKey);
    showUserNotice(text);
}

} // namespace quorvale

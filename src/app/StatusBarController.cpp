#include "app/StatusBarController.h"

#include "SharedLib/SymbolImages.h"
#include "SharedLib/ToastWindowController.h"
#include "platform/Platform.h"
#include "preferences/PreferenceManager.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QTimer>

namespace quorvale {
namespace {

// A symbol the icon set does not have still leaves a visible item: the letter T.
QIcon letterIcon(const QColor& color) {
    QPixmap pixmap(44, 44);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = QApplication::font();
    font.setPixelSize(34);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("T"));
    return QIcon(pixmap);
}

// Panels often start after the apps of the session, so the tray is looked for a little later.
constexpr int kTrayCheckDelayMs = 3000;
constexpr double kTrayNoticeSeconds = 6.0;
const QString kTrayMissingNoticeKey = QStringLiteral("TrayMissingNoticeShown");

} // namespace

StatusBarController::StatusBarController(Callbacks callbacks)
    : m_callbacks(std::move(callbacks)) {
    QAction* quit = m_menu.addAction(QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, [this] {
        if (m_callbacks.onQuit) {
            m_callbacks.onQuit();
        }
    });
    m_trayIcon.setContextMenu(&m_menu);
    m_trayIcon.setToolTip(QStringLiteral("Quorvale"));
    refreshIcon();
    m_trayIcon.show();

    QPointer<StatusBarController> weakSelf(this);
    QTimer::singleShot(kTrayCheckDelayMs, this, [] {
        auto& defaults = PreferenceManager::shared().defaults();
        if (QSystemTrayIcon::isSystemTrayAvailable() ||
            defaults.boolForKey(kTrayMissingNoticeKey)) {
            return;
        }
        PreferenceManager::shared().save(true, kTrayMissingNoticeKey);
        // A toast, not a dialog: it must not take focus from whatever the user is doing.
        ToastWindowController::show(
            QStringLiteral("No system tray found: use the shortcuts or quorvale --help"),
            QStringLiteral("xmark.app"), kTrayNoticeSeconds);
    });
    connect(&PreferenceManager::shared(), &PreferenceManager::willChange, this, [weakSelf] {
        // The new value lands after the announcement; read it on a later turn.
        platform::current().mainQueue->async([weakSelf] {
            if (weakSelf) {
                weakSelf->refreshIcon();
            }
        });
    });
}

StatusBarController::~StatusBarController() {
    m_trayIcon.hide();
}

void StatusBarController::refreshIcon() {
    const QColor color = QApplication::palette().color(QPalette::WindowText);
    const QString name = PreferenceManager::shared().statusBarIconName();
    m_trayIcon.setIcon(SymbolImages::exists(name) ? SymbolImages::icon(name, color)
                                                  : letterIcon(color));
}

} // namespace quorvale

#include "app/StatusBarController.h"

#include "SharedLib/SymbolImages.h"
#include "platform/Platform.h"
#include "preferences/PreferenceManager.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPointer>

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

} // namespace

StatusBarController::StatusBarController(Callbacks callbacks) : m_callbacks(std::move(callbacks)) {
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

#pragma once

#include <QImage>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>

namespace quorvale {

// The tray icon and its menu.
class StatusBarController : public QObject {
    Q_OBJECT
public:
    struct Callbacks {
        std::function<void(bool windowMode)> onCapture;
        std::function<void()> onOpenPreferences;
        std::function<void()> onOpenSettings;
        std::function<void()> onQuit;
        std::function<void(const QString& path)> onRecognizeImage;
        std::function<void(const QImage& image)> onRecognizeBitmap;
    };

    explicit StatusBarController(Callbacks callbacks);
    ~StatusBarController() override;

    bool isIconShown() const { return m_trayIcon.isVisible(); }
    void refreshIcon();

private:
    Callbacks m_callbacks;
    QMenu m_menu;
    QSystemTrayIcon m_trayIcon;
};

} // namespace quorvale

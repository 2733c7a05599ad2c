#pragma once

#include "shared/NotificationCenter.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

namespace quorvale {

class PreferencesWindow;

// Owns the settings window; tells its owner when the window closes.
class PreferencesWindowController : public QObject {
    Q_OBJECT
public:
    static constexpr QSize kInitialContentSize{500, 520};
    static constexpr QSize kMinimumContentSize{500, 520};
    static constexpr QSize kRootViewSize{650, 650};

    PreferencesWindowController();
    ~PreferencesWindowController() override;

    QWidget* window() const;
    void showPreferences();
    // Closes the window as the user would; onClose runs.
    void close();

    std::function<void()> onClose;

private:
    void windowDidLoad();
    void windowWillClose();
    void centerWindow();

    std::unique_ptr<NotificationCenter::ObserverToken> m_sizeObserver;
    std::unique_ptr<PreferencesWindow> m_window;
};

} // namespace quorvale

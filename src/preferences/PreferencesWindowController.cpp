#include "preferences/PreferencesWindowController.h"

#include "preferences/PreferencesView.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace quorvale {

class PreferencesWindow : public QWidget {
public:
    std::function<void()> willClose;

protected:
    void closeEvent(QCloseEvent* event) override {
        QWidget::closeEvent(event);
        if (event->isAccepted() && willClose) {
            willClose();
        }
    }
};

PreferencesWindowController::PreferencesWindowController()
    : m_window(std::make_unique<PreferencesWindow>()) {
    m_window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                             Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    m_window->resize(kInitialContentSize);
    centerWindow();
    m_window->setWindowTitle(
        QCoreApplication::translate("PreferencesWindowController", "Preferences"));
    auto* layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new PreferencesView(kRootViewSize.width(), kRootViewSize.height()));
    m_window->setMinimumSize(kMinimumContentSize);
    m_window->willClose = [this] { windowWillClose(); };
    windowDidLoad();
}

PreferencesWindowController::~PreferencesWindowController() {
    m_sizeObserver.reset();
    if (m_window) {
        m_window->willClose = nullptr;
    }
}

QWidget* PreferencesWindowController::window() const {
    return m_window.get();
}

void PreferencesWindowController::windowDidLoad() {
    QPointer<PreferencesWindowController> weakSelf(this);
    m_sizeObserver = NotificationCenter::defaultCenter().addObserver(
        PreferencesView::kContentSizeDidChange, [weakSelf](const QVariantMap& userInfo) {
            const QVariant size = userInfo.value(PreferencesView::kSizeKey);
            if (!weakSelf || size.typeId() != QMetaType::QSize) {
                return;
            }
            weakSelf->m_window->resize(size.toSize());
            weakSelf->centerWindow();
        });
}

void PreferencesWindowController::showPreferences() {
    if (!m_window->isVisible()) {
        centerWindow();
    }
    if (m_window->isMinimized()) {
        m_window->showNormal();
    } else {
        m_window->show();
    }
    m_window->raise();
    m_window->activateWindow();
}

void PreferencesWindowController::close() {
    m_window->close();
}

void PreferencesWindowController::windowWillClose() {
    if (onClose) {
        onClose();
    }
}

void PreferencesWindowController::centerWindow() {
    QScreen* screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect available = screen->availableGeometry();
    QRect frame(QPoint(), m_window->size());
    frame.moveCenter(available.center());
    m_window->move(frame.topLeft());
}

} // namespace quorvale

#include "platform/linux/FocusedClipboard.h"

#include "common/LogCategories.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace quorvale::platform {
namespace {

// A compositor that never focuses the helper gets the request anyway after this long: some
// take the selection from any client that had input recently.
constexpr int kFocusWaitMs = 500;

} // namespace

FocusedClipboard::FocusedClipboard() = default;

FocusedClipboard::~FocusedClipboard() {
    QObject::disconnect(m_focusWatch);
    delete m_helper.data();
}

void FocusedClipboard::clearContents() {
    m_pending = QString();
    applyWhenFocused();
}

void FocusedClipboard::setString(const QString& text) {
    m_pending = text;
    applyWhenFocused();
}

std::optional<QString> FocusedClipboard::string() const {
    if (m_pending) {
        return m_pending->isEmpty() ? std::nullopt : m_pending;
    }
    return QtClipboard::string();
}

void FocusedClipboard::applyWhenFocused() {
    if (QGuiApplication::focusWindow()) {
        apply();
        return;
    }
    if (m_focusWatch) {
        return; // already waiting: the latest text goes when the focus comes
    }
    if (!m_helper) {
        m_helper = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
        m_helper->setWindowTitle(QStringLiteral("Quorvale clipboard"));
        m_helper->setAttribute(Qt::WA_QuitOnClose, false);
        // A fixed size asks tiling compositors to float it rather than rearrange the screen.
        m_helper->setFixedSize(1, 1);
    }
    m_focusWatch = QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
                                    [this](QWindow* window) {
                                        if (window) {
                                            apply();
                                        }
                                    });
    QTimer::singleShot(kFocusWaitMs, this, [this] {
        if (m_pending) {
            qCWarning(Log::general,
                      "No window of ours got the focus; setting the clipboard anyway");
            apply();
        }
    });
    m_helper->show();
    m_helper->raise();
    m_helper->activateWindow();
}

void FocusedClipboard::apply() {
    QObject::disconnect(m_focusWatch);
    m_focusWatch = {};
    if (const std::optional<QString> text = std::exchange(m_pending, std::nullopt)) {
        if (text->isEmpty()) {
            QtClipboard::clearContents();
        } else {
            QtClipboard::setString(*text);
        }
    }
    if (m_helper && m_helper->isVisible()) {
        // Let the request leave before the window that carried it goes.
        QTimer::singleShot(50, m_helper.data(), &QWidget::hide);
    }
}

} // namespace quorvale::platform

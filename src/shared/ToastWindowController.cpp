#include "shared/ToastWindowController.h"

#include "platform/Platform.h"
#include "shared/HexColor.h"
#include "shared/ToastContentView.h"

#include <QCoreApplication>
#include <QPalette>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <vector>

namespace quorvale {
namespace {

// Touched only on the GUI thread.
std::vector<ToastWindowController*>& openToasts() {
    static std::vector<ToastWindowController*> toasts;
    return toasts;
}

void forget(ToastWindowController* toast) {
    auto& toasts = openToasts();
    toasts.erase(std::remove(toasts.begin(), toasts.end(), toast), toasts.end());
}

void makeToastWindow(ToastContentView& view) {
    view.setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint);
    view.setAttribute(Qt::WA_ShowWithoutActivating);
    view.setAttribute(Qt::WA_X11DoNotAcceptFocus);
    view.setAttribute(Qt::WA_QuitOnClose, false);
    view.resize(view.sizeHint());
    if (!platform::current().screens->windowsPlaceThemselves()) {
        // A fixed size asks tiling compositors to float the toast instead of making room.
        view.setFixedSize(view.sizeHint());
    }
    // Translucent corners need a compositing manager.
    if (platform::current().compositor->isRunning()) {
        view.setAttribute(Qt::WA_TranslucentBackground);
        view.setShadowVisible(true);
    } else {
        // Without compositing the margin would paint opaque: cut the window to the label
        // and fill what the jagged mask edge lets through with the label's own colour.
        QPalette palette = view.palette();
        palette.setColor(QPalette::Window, colorFromHex(u"#656565"));
        view.setPalette(palette);
        view.setMask(QRegion(view.labelPath().toFillPolygon().toPolygon()));
    }
}

} // namespace

void ToastWindowController::show(const QString& message, const QString& icon, double duration) {
    const platform::Platform& platform = platform::current();
    if (!platform.mainQueue->isMainThread()) {
        platform.mainQueue->async([message, icon, duration] { show(message, icon, duration); });
        return;
    }

    // A window that cannot place itself would land wherever the compositor puts windows:
    // the desktop's own bubbles appear where the user looks for messages.
    if (platform.notifications && platform.notifications->isAvailable()) {
        platform.notifications->show(message, icon, duration);
        return;
    }
    auto view = std::make_unique<ToastContentView>(message, icon);
    makeToastWindow(*view);
    const QSize fitting = view->sizeHint();

    const std::optional<QRect> visibleFrame = platform.screens->mainScreenVisibleFrame();
    if (!visibleFrame) {
        return;
    }
    view->setGeometry(frameFor(fitting, *visibleFrame));

    // A toast still up when the app quits would keep itself alive past the end.
    static const bool closesOnQuit = [] {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                         &ToastWindowController::closeAll);
        return true;
    }();
    Q_UNUSED(closesOnQuit);
    auto controller = std::make_shared<ToastWindowController>(std::move(view));
    controller->showWindow();
    platform.mainQueue->asyncAfter(duration, [controller] { controller->close(); });
    controller->m_retainedSelf = controller;
}

QRect ToastWindowController::frameFor(QSize fitting, QRect visibleFrame) {
    const double x = visibleFrame.x() + (visibleFrame.width() - fitting.width()) * 0.5;
    const double y = visibleFrame.y() + (visibleFrame.height() - fitting.height()) * 0.75;
    return QRect(QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))),
                 fitting);
}

QList<const ToastContentView*> ToastWindowController::visibleToastViews() {
    QList<const ToastContentView*> views;
    for (const ToastWindowController* toast : openToasts()) {
        if (toast->m_window && toast->m_window->isVisible()) {
            views.append(toast->m_window.get());
        }
    }
    return views;
}

QStringList ToastWindowController::visibleToastMessages() {
    QStringList messages;
    for (const ToastContentView* view : visibleToastViews()) {
        messages.append(view->message());
    }
    return messages;
}

void ToastWindowController::closeAll() {
    const std::vector<ToastWindowController*> toasts = openToasts();
    for (ToastWindowController* toast : toasts) {
        toast->close();
    }
}

ToastWindowController::ToastWindowController(std::unique_ptr<ToastContentView> window)
    : m_window(std::move(window)) {}

ToastWindowController::~ToastWindowController() {
    forget(this);
}

void ToastWindowController::showWindow() {
    if (std::find(openToasts().begin(), openToasts().end(), this) == openToasts().end()) {
        openToasts().push_back(this);
    }
    m_window->show();
}

void ToastWindowController::close() {
    forget(this);
    if (m_window) {
        m_window->close();
    }
    // Moved out so that releasing it, possibly the last reference, is the final step.
    const auto self = std::move(m_retainedSelf);
}

} // namespace quorvale

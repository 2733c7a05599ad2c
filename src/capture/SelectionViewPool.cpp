#include "capture/SelectionViewPool.h"

#include "capture/SelectionView.h"

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QRasterWindow>
#include <QScreen>
#include <vector>

namespace quorvale {
namespace {

struct Kept {
    QPointer<SelectionView> view;
    double primaryHeight = 0;
};

std::vector<Kept>& kept() {
    static std::vector<Kept> views;
    return views;
}

bool sameScreen(const platform::ScreenInfo& a, const platform::ScreenInfo& b) {
    return a.displayID == b.displayID && a.frame == b.frame && a.geometry == b.geometry &&
           qFuzzyCompare(a.devicePixelRatio, b.devicePixelRatio);
}

// sway 1.7 hands a full-screen window's only surface straight to an output that draws no
// software cursor, and a headless output then keeps presenting its last composed frame: the
// desktop, until the pointer comes. A second surface makes it compose the overlay; and as it
// then redraws only what changed, the overlay is drawn once more in full after the pixel.
class ComposeHint : public QRasterWindow {
public:
    explicit ComposeHint(QWidget* overlay)
        : QRasterWindow(overlay->windowHandle())
        , m_overlay(overlay) {
        QSurfaceFormat format;
        format.setAlphaBufferSize(8);
        setFormat(format);
        setFlag(Qt::WindowTransparentForInput);
        setGeometry(0, 0, 1, 1);
        // Hiding the overlay takes its surface and the pixel's with it.
        overlay->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            hide();
        } else if (event->type() == QEvent::Show) {
            // Once the overlay's own surface is there: the pixel is placed on it.
            QMetaObject::invokeMethod(this, &QWindow::show, Qt::QueuedConnection);
        }
        return false;
    }
    void paintEvent(QPaintEvent*) override { m_overlay->update(); }

private:
    QWidget* m_overlay;
};

// Set once the application has begun to quit: an overlay given back from then on (its
// controller going with the app's last objects) is deleted, as nothing would later.
bool& quitting() {
    static bool value = false;
    return value;
}

void watchQuit() {
    static QPointer<QCoreApplication> watched;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || watched == app) {
        return;
    }
    watched = app;
    quitting() = false;
    QObject::connect(app, &QCoreApplication::aboutToQuit, [] {
        quitting() = true;
        SelectionViewPool::clear();
    });
}

bool applicationRunning() {
    return QCoreApplication::instance() && !QCoreApplication::closingDown() && !quitting();
}

} // namespace

SelectionView* SelectionViewPool::take(const platform::ScreenInfo& screen, double primaryHeight) {
    auto& views = kept();
    for (auto it = views.begin(); it != views.end(); ++it) {
        if (it->view && it->primaryHeight == primaryHeight &&
            sameScreen(it->view->screen(), screen)) {
            SelectionView* view = it->view;
            views.erase(it);
            return view;
        }
    }
    watchQuit();
    auto* view = new SelectionView();
    view->setScreen(screen, primaryHeight);
    const auto& screens = platform::current().screens;
    if (screens && !screens->windowsPlaceThemselves()) {
        // Only the compositor places windows: ask it for the whole of this screen.
        view->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        for (QScreen* qtScreen : QGuiApplication::screens()) {
            if (qtScreen->geometry() == screen.geometry) {
                view->QWidget::setScreen(qtScreen);
            }
        }
        view->setGeometry(screen.geometry);
        view->setWindowState(Qt::WindowFullScreen);
        view->winId();
        // A clear pixel of its own, above the overlay's top-left corner.
        new ComposeHint(view);
        return view;
    }
    // Opaque and past the window manager: without a compositor a translucent window
    // would be black, and a managed one could be moved, decorated or refused focus.
    view->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::X11BypassWindowManagerHint | Qt::NoDropShadowWindowHint);
    view->setGeometry(screen.geometry);
    view->winId(); // create the native window now, so showing it is cheap
    return view;
}

void SelectionViewPool::give(SelectionView* view) {
    if (!view) {
        return;
    }
    view->setDelegate({});
    view->releaseKeyboard();
    view->hide();
    view->releasePixels();
    view->reset();
    view->setWindowMode(false);
    view->clearCustomCursor();
    if (!applicationRunning()) {
        // Deferred deletes no longer run once the event loop has ended, and no handler of the
        // view can be running then either.
        delete view;
        return;
    }
    kept().push_back({view, view->primaryHeight()});
}

void SelectionViewPool::clear() {
    for (Kept& entry : std::exchange(kept(), {})) {
        // Kept overlays are hidden and idle, so nothing runs inside them; deleting them now
        // also works while the application quits, when deferred deletes no longer run.
        delete entry.view.data();
    }
}

int SelectionViewPool::size() {
    return int(std::count_if(kept().begin(), kept().end(),
                             [](const Kept& entry) { return !entry.view.isNull(); }));
}

} // namespace quorvale

#include "capture/SelectionWindowController.h"

#include "capture/CaptureGeometry.h"
#include "capture/CaptureTrace.h"
#include "capture/SelectionCursors.h"
#include "capture/SelectionViewPool.h"
#include "capture/SystemUptime.h"
#include "common/BuildInfo.h"
#include "platform/Platform.h"

#include <QGuiApplication>
#include <QScreen>

namespace quorvale {
namespace {

platform::ScreenCapture& screenCapture() {
    return *platform::current().screenCapture;
}

platform::MainQueue& mainQueue() {
    return *platform::current().mainQueue;
}

bool applicationIsActive() {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void activateApplication() {
    if (const auto& policy = platform::current().activationPolicy) {
        policy->activateIgnoringOtherApps();
    }
}

} // namespace

struct SelectionWindowController::StartupTask {
    std::shared_ptr<SelectionWindowController> owner; // keeps the controller until it ends
    int nextStage = 0;
    bool cancelled = false;
};

std::shared_ptr<SelectionWindowController> SelectionWindowController::create() {
    std::shared_ptr<SelectionWindowController> controller(new SelectionWindowController());
    controller->setupSelectionWindows();
    return controller;
}

SelectionWindowController::SelectionWindowController() = default;

SelectionWindowController::~SelectionWindowController() {
    m_selectionTask.reset();
    watchScreens(false);
    for (SelectionView* view : m_views) {
        SelectionViewPool::give(view);
    }
}

void SelectionWindowController::setupSelectionWindows() {
    if (!m_views.empty()) {
        return;
    }
    const std::vector<platform::ScreenInfo> screens = screenCapture().screens();
    const double primaryHeight = CaptureGeometry::primaryScreenHeight(screens);
    for (const platform::ScreenInfo& screen : screens) {
        SelectionView* view = SelectionViewPool::take(screen, primaryHeight);
        view->setWindowTitle(kOverlayTitle);
        m_views.push_back(view);
    }
    // What is left over belongs to screens that are gone.
    SelectionViewPool::clear();
}

void SelectionWindowController::startSelection(bool windowMode, Completion completion) {
    if (m_isSelecting) {
        return;
    }
    m_isSelecting = true;
    m_selectionStartTime = SystemUptime::now();
    m_completion = std::move(completion);
    const std::uint64_t freeze = ++m_freezeGeneration;
    const std::weak_ptr<SelectionWindowController> weakSelf = weak_from_this();
    // Where the pixels come later (a desktop portal), the overlays appear once they are here.
    screenCapture().freezeDisplaysThen(
        windowMode,
        [weakSelf, freeze, windowMode](std::shared_ptr<const platform::FrozenScreens> frozen,
                                       std::optional<platform::CaptureFailure> failure) {
            auto self = weakSelf.lock();
            if (!self || self->m_isClosed || !self->m_isSelecting ||
                self->m_freezeGeneration != freeze) {
                return;
            }
            if (failure) {
                CaptureTrace::mark(failure->declined ? "portal-denied" : "freeze-failed");
                self->finishSelection(
                    SelectionOutcome::failure(ScreenshotError::screenCaptureKitError(
                        {failure->domain, failure->code, failure->localizedDescription,
                         failure->declined})));
                return;
            }
            CaptureTrace::mark("frozen");
            self->showOverlays(windowMode, std::move(frozen));
        });
}

void SelectionWindowController::showOverlays(
    bool windowMode, std::shared_ptr<const platform::FrozenScreens> frozenScreens) {
    m_frozen = std::move(frozenScreens);
    const QPointF mouse = screenCapture().mouseLocation();
    const std::weak_ptr<SelectionViewDelegate> self = weak_from_this();
    for (SelectionView* view : m_views) {
        view->reset();
        view->setWindowMode(windowMode);
        view->setDelegate(self);
        QImage image;
        if (m_frozen) {
            for (const platform::FrozenDisplay& frozen : m_frozen->displays) {
                if (frozen.display.displayID == view->screen().displayID) {
                    image = frozen.image;
                }
            }
        }
        view->setFrozenImage(image);
        if (CaptureGeometry::contains(view->screen().frame, mouse)) {
            makeKey(view);
        } else {
            view->show();
            view->raise();
        }
    }
    watchScreens(true);
    cancelStartupTask();
    startStartupTask();
}

void SelectionWindowController::makeKey(SelectionView* view) {
    view->show();
    view->raise();
    view->activateWindow();
    // Windows that bypass the window manager never get focus: take the keyboard for Escape.
    view->grabKeyboard();
    view->setFocus(Qt::ActiveWindowFocusReason);
    m_keyView = view;
}

void SelectionWindowController::releaseKey() {
    if (m_keyView) {
        m_keyView->releaseKeyboard();
        m_keyView = nullptr;
    }
}

void SelectionWindowController::finishSelection(SelectionOutcome outcome) {
    if (!m_isSelecting) {
        return;
    }
    const auto keepAlive = shared_from_this();
    Completion completion = std::move(m_completion);
    m_completion = nullptr;
    m_isSelecting = false;
    watchScreens(false);
    releaseKey();
    for (SelectionView* view : m_views) {
        view->setDelegate({});
        view->hide();
    }
    CaptureTrace::mark("selection-finished", !outcome.isSuccess()       ? "cancelled"
                                             : outcome.value().isRect() ? "rect"
                                                                        : "window");
    if (completion) {
        completion(std::move(outcome));
    }
    // Only now: freeing screen-sized buffers would delay the picture the user is waiting for.
    for (SelectionView* view : m_views) {
        view->releasePixels();
    }
    m_frozen.reset();
}

void SelectionWindowController::close() {
    if (m_isClosed) {
        return;
    }
    m_completion = nullptr;
    m_isClosed = true;
    ++m_freezeGeneration;
    cancelStartupTask();
    watchScreens(false);
    m_isSelecting = false;
    releaseKey();
    const std::vector<SelectionView*> views = std::exchange(m_views, {});
    for (SelectionView* view : views) {
        view->cleanupTrackingAreas();
        SelectionViewPool::give(view);
    }
    m_frozen.reset();
}

void SelectionWindowController::selectionDidSelectRect(const QRectF& rect) {
    cancelDeferredRequests();
    const std::uint64_t generation = m_deferredGeneration;
    mainQueue().async([self = shared_from_this(), generation, rect] {
        if (self->m_deferredGeneration == generation) {
            self->finishSelection(SelectionOutcome::success(SelectionResult::rect(rect)));
        }
    });
}

void SelectionWindowController::selectionDidSelectWindow(const ShareableWindow& window) {
    cancelDeferredRequests();
    finishSelection(SelectionOutcome::success(SelectionResult::window(window)));
}

void SelectionWindowController::selectionDidCancel() {
    cancelDeferredRequests();
    finishSelection(SelectionOutcome::failure(ScreenshotError::userCancelled()));
}

void SelectionWindowController::didHoverWindow(const std::optional<ShareableWindow>& window,
                                               const std::optional<QRectF>& frame,
                                               std::optional<std::int32_t> layer,
                                               const QRegion& visibleRegion) {
    if (!m_isSelecting) {
        return;
    }
    for (SelectionView* view : m_views) {
        if (!view->isVisible()) {
            continue;
        }
        const auto& current = view->highlightedWindow();
        if ((window && current && current->windowID == window->windowID) || (!window && !current)) {
            continue;
        }
        const bool complete = window && frame && layer;
        view->setHighlight(window, frame, complete ? visibleRegion : QRegion());
        if (view->windowMode()) {
            view->clearSelectionPath();
        }
    }
    if (window) {
        CaptureTrace::mark("hover", QByteArray::number(window->windowID, 16).constData());
    }
    std::weak_ptr<SelectionWindowController> weakSelf = weak_from_this();
    mainQueue().async([weakSelf] {
        auto self = weakSelf.lock();
        if (!self || !self->m_isSelecting) {
            return;
        }
        if (!applicationIsActive()) {
            activateApplication();
        }
        self->orderWindowsForMouse();
        self->updateCursors();
    });
}

void SelectionWindowController::orderWindowsForMouse() {
    // Only while selecting: a finished selection's overlays must stay out of sight.
    if (!m_isSelecting) {
        return;
    }
    const QPointF mouse = screenCapture().mouseLocation();
    for (SelectionView* view : m_views) {
        if (CaptureGeometry::contains(view->screen().frame, mouse)) {
            if (m_keyView != view) {
                makeKey(view);
            }
        } else {
            view->show();
            view->raise();
        }
    }
}

void SelectionWindowController::updateCursors() {
    if (m_views.empty()) {
        return;
    }
    const QCursor cursor = m_views.front()->windowMode() ? SelectionCursors::windowCursor()
                                                         : SelectionCursors::areaCursor();
    for (SelectionView* view : m_views) {
        view->setCustomCursor(cursor);
    }
}

void SelectionWindowController::refreshWindowList() {
    if (!m_isSelecting || m_views.empty() || !m_views.front()->windowMode()) {
        return;
    }
    std::weak_ptr<SelectionWindowController> weakSelf = weak_from_this();
    screenCapture().getShareableContent(
        false, false,
        [weakSelf](std::optional<platform::ShareableContent> content,
                   std::optional<platform::CaptureFailure>) {
            auto self = weakSelf.lock();
            if (!self || !self->m_isSelecting || !content) {
                return;
            }
            mainQueue().async(
                [self, content = std::move(*content)] { self->applyWindowList(content); });
        });
}

bool SelectionWindowController::isSelectableWindow(const ShareableWindow& window,
                                                   const QString& ownBundleId) {
    if (!window.owningApplication) {
        return true;
    }
    const QString& owner = window.owningApplication->bundleIdentifier;
    if (!ownBundleId.isEmpty() && owner == ownBundleId) {
        return false;
    }
    return !window.owningApplication->isSystem;
}

void SelectionWindowController::applyWindowList(const platform::ShareableContent& content) {
    if (!m_isSelecting) {
        return;
    }
    const QString ownBundleId = QString::fromLatin1(build::kApplicationId);
    std::vector<ShareableWindow> windows;
    for (const ShareableWindow& window : content.windows) {
        if (isSelectableWindow(window, ownBundleId)) {
            windows.push_back(window);
        }
    }
    CaptureTrace::mark("window-list", QByteArray::number(qulonglong(windows.size())).constData());
    for (SelectionView* view : m_views) {
        view->setWindows(windows);
    }
    const QPointF mouse = screenCapture().mouseLocation();
    for (SelectionView* view : m_views) {
        if (!view->windowMode()) {
            continue;
        }
        const SelectionView::Hit hit = view->windowAt(mouse);
        if (hit.window) {
            if (view->hasDelegate()) {
                didHoverWindow(hit.window, hit.bounds, hit.layer, hit.visibleRegion);
            }
        } else if (view->highlightedWindow() && view->hasDelegate()) {
            didHoverWindow(std::nullopt, std::nullopt, std::nullopt, {});
        }
    }
}

void SelectionWindowController::watchScreens(bool watch) {
    m_screenWatch.reset();
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!watch || !app) {
        return;
    }
    // The overlays and the frozen pixels describe the screens as they were: any change
    // to the screens ends the selection rather than capture stale geometry.
    m_screenWatch = std::make_unique<QObject>();
    std::weak_ptr<SelectionWindowController> weakSelf = weak_from_this();
    auto changed = [weakSelf] {
        if (auto self = weakSelf.lock()) {
            self->screensChanged();
        }
    };
    QObject::connect(app, &QGuiApplication::screenAdded, m_screenWatch.get(), changed);
    QObject::connect(app, &QGuiApplication::screenRemoved, m_screenWatch.get(), changed);
    for (QScreen* screen : QGuiApplication::screens()) {
        QObject::connect(screen, &QScreen::geometryChanged, m_screenWatch.get(), changed);
    }
}

void SelectionWindowController::screensChanged() {
    if (m_isSelecting) {
        CaptureTrace::mark("screens-changed");
        selectionDidCancel();
    }
}

void SelectionWindowController::startStartupTask() {
    auto task = std::make_shared<StartupTask>();
    task->owner = shared_from_this();
    m_selectionTask = task;
    mainQueue().asyncAfter(kStartupPause, [task] { runStartupStage(task, 0); });
}

void SelectionWindowController::cancelStartupTask() {
    auto task = std::exchange(m_selectionTask, nullptr);
    if (!task || task->nextStage > 1) {
        return;
    }
    // Cancelling cuts the pauses short; the remaining steps still run.
    task->cancelled = true;
    mainQueue().async([task] { runStartupStage(task, task->nextStage); });
}

void SelectionWindowController::runStartupStage(const std::shared_ptr<StartupTask>& task,
                                                int stage) {
    if (task->nextStage != stage || stage > 1 || !task->owner) {
        return;
    }
    task->nextStage = stage + 1;
    SelectionWindowController& self = *task->owner;
    if (stage == 0) {
        activateApplication();
        self.orderWindowsForMouse();
        mainQueue().asyncAfter(task->cancelled ? 0.0 : kStartupPause,
                               [task] { runStartupStage(task, 1); });
        return;
    }
    if (!self.m_views.empty() && self.m_views.front()->windowMode()) {
        self.refreshWindowList();
    } else {
        for (SelectionView* view : self.m_views) {
            view->setHighlight(std::nullopt, std::nullopt, {});
        }
    }
    self.updateCursors();
    CaptureTrace::mark("startup-done");
    if (self.m_selectionTask == task) {
        self.m_selectionTask.reset();
    }
    task->owner.reset();
}

} // namespace quorvale

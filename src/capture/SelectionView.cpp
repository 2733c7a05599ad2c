#include "capture/SelectionView.h"

#include "capture/CaptureGeometry.h"
#include "capture/CaptureTrace.h"
#include "capture/SystemUptime.h"
#include "platform/Platform.h"

#include <QBackingStore>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <limits>

namespace quorvale {
namespace {

const QColor kDimming(0, 0, 0, 77);
const QColor kHighlightFill(255, 255, 0, 51);
const QColor kHighlightBorder(255, 255, 0);
constexpr qreal kHighlightBorderWidth = 3.0;

std::uint32_t windowNumber(const std::optional<std::int64_t>& number) {
    if (!number || *number < 0 || *number > std::numeric_limits<std::uint32_t>::max()) {
        return 0;
    }
    return std::uint32_t(*number);
}

std::int32_t windowLayer(const std::optional<std::int64_t>& layer) {
    if (!layer || *layer < std::numeric_limits<std::int32_t>::min() ||
        *layer > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return std::int32_t(*layer);
}

// The dashed outline's pixels: the inside shows the same frozen pixels before and after a
// drag step, so repainting it would only cost a full-screen blit per mouse move.
QRegion outlineBounds(const QRectF& rect, int margin) {
    const QRect aligned = rect.toAlignedRect();
    const QRect outer = aligned.adjusted(-margin, -margin, margin, margin);
    const QRect inner = aligned.adjusted(margin, margin, -margin, -margin);
    return inner.isValid() ? QRegion(outer) - QRegion(inner) : QRegion(outer);
}

} // namespace

SelectionView::SelectionView(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void SelectionView::reset() {
    m_startPoint.reset();
    m_currentPoint.reset();
    m_highlightedWindow.reset();
    m_highlightedWindowCGRect.reset();
    m_highlightRegion = {};
    m_windows.clear();
    removeSelectionLayer();
    m_dimmed = true;
    m_painted = false;
    setMouseTracking(true);
    update();
}

void SelectionView::setScreen(const platform::ScreenInfo& screen, double primaryHeight) {
    m_screen = screen;
    m_primaryHeight = primaryHeight;
}

void SelectionView::setFrozenImage(const QImage& image) {
    m_frozenImage = image;
    update();
}

void SelectionView::releasePixels() {
    m_frozenImage = QImage();
    // The next show repaints everything into a buffer of the window's size.
    if (QBackingStore* store = backingStore(); store && !isVisible()) {
        store->resize(QSize(1, 1));
    }
}

void SelectionView::setCustomCursor(const QCursor& cursor) {
    m_customCursor = cursor;
    setCursor(cursor);
}

void SelectionView::clearCustomCursor() {
    m_customCursor.reset();
    setCursor(Qt::CrossCursor);
}

void SelectionView::setHighlight(const std::optional<ShareableWindow>& window,
                                 const std::optional<QRectF>& frame, const QRegion& visibleRegion) {
    const QRect before = m_highlightRegion.boundingRect();
    m_highlightedWindow = window;
    m_highlightedWindowCGRect = frame;
    m_highlightRegion = window && frame ? localRegion(visibleRegion) : QRegion();
    update(before.adjusted(-2, -2, 2, 2));
    update(m_highlightRegion.boundingRect().adjusted(-2, -2, 2, 2));
}

void SelectionView::clearSelectionPath() {
    if (m_selectionRect) {
        repaintArea(m_selectionRect, std::nullopt);
        m_selectionRect.reset();
    }
}

QPointF SelectionView::cgOrigin() const {
    return CaptureGeometry::flipped(m_screen.frame, m_primaryHeight).topLeft();
}

QRegion SelectionView::localRegion(const QRegion& cgRegion) const {
    const QPointF origin = cgOrigin();
    return cgRegion.translated(-qRound(origin.x()), -qRound(origin.y()));
}

QRectF SelectionView::convertRectToScreen(const QRectF& rect) const {
    const QRectF frame = m_screen.frame;
    return {frame.x() + rect.x(), frame.y() + frame.height() - (rect.y() + rect.height()),
            rect.width(), rect.height()};
}

SelectionView::Hit SelectionView::windowAt(const QPointF& point) const {
    if (m_windows.empty()) {
        return {};
    }
    const auto& capture = platform::current().screenCapture;
    const double primaryHeight = CaptureGeometry::primaryScreenHeight(capture->screens());
    const QPointF test = CaptureGeometry::flipped(point, primaryHeight);
    const auto list = capture->onScreenWindowList();
    if (!list) {
        return {};
    }
    QRegion covering;
    for (const platform::WindowListEntry& entry : *list) {
        if (!entry.bounds) {
            continue;
        }
        const bool transparent = entry.alpha && !(*entry.alpha > 0);
        if (CaptureGeometry::contains(*entry.bounds, test) && !transparent) {
            const std::uint32_t number = windowNumber(entry.number);
            const auto candidate =
                std::find_if(m_windows.begin(), m_windows.end(),
                             [number](const ShareableWindow& w) { return w.windowID == number; });
            if (candidate != m_windows.end()) {
                const QRegion visible = QRegion(entry.bounds->toRect()) - covering;
                return {*candidate, *entry.bounds, windowLayer(entry.layer), visible};
            }
        }
        if (!transparent) {
            covering += entry.bounds->toRect();
        }
    }
    return {};
}

void SelectionView::updateHover() {
    if (!m_windowMode) {
        return;
    }
    auto delegate = m_delegate.lock();
    const Hit hit = windowAt(platform::current().screenCapture->mouseLocation());
    if (hit.window) {
        if (delegate) {
            delegate->didHoverWindow(hit.window, hit.bounds, hit.layer, hit.visibleRegion);
        }
    } else if (m_highlightedWindow && delegate) {
        delegate->didHoverWindow(std::nullopt, std::nullopt, std::nullopt, {});
    }
}

void SelectionView::cleanupTrackingAreas() {
    setMouseTracking(false);
}

void SelectionView::updateSelectionLayer() {
    if (!m_startPoint || !m_currentPoint) {
        return;
    }
    const std::optional<QRectF> before = m_selectionRect;
    m_selectionRect = CaptureGeometry::rectFromPoints(*m_startPoint, *m_currentPoint);
    repaintArea(before, m_selectionRect);
}

void SelectionView::removeSelectionLayer() {
    clearSelectionPath();
}

void SelectionView::repaintArea(const std::optional<QRectF>& before,
                                const std::optional<QRectF>& after) {
    QRegion dirty;
    if (before) {
        dirty += outlineBounds(*before, 2);
    }
    if (after) {
        dirty += outlineBounds(*after, 2);
    }
    update(dirty);
}

void SelectionView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const double sx = double(m_frozenImage.width()) / std::max(1, width());
    const double sy = double(m_frozenImage.height()) / std::max(1, height());
    // Rectangle by rectangle: a drag's thin outline strips span most of the screen.
    for (const QRect& area : event->region()) {
        if (m_frozenImage.isNull()) {
            painter.fillRect(area, Qt::black);
        } else {
            const QRectF source(area.x() * sx, area.y() * sy, area.width() * sx,
                                area.height() * sy);
            painter.drawImage(QRectF(area), m_frozenImage, source);
        }
        if (m_dimmed) {
            painter.fillRect(area, kDimming);
        }
    }
    if (!m_highlightRegion.isEmpty()) {
        painter.save();
        painter.setClipRegion(m_highlightRegion);
        const QRectF frame = m_highlightedWindowCGRect->translated(-cgOrigin());
        painter.fillRect(frame, kHighlightFill);
        painter.setPen(QPen(kHighlightBorder, kHighlightBorderWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame.adjusted(1.5, 1.5, -1.5, -1.5));
        painter.restore();
    }
    if (m_selectionRect) {
        QPen pen(Qt::white, 1.0);
        pen.setDashPattern({5, 3});
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_selectionRect->translated(0.5, 0.5));
    }
    if (!m_painted) {
        m_painted = true;
        CaptureTrace::mark("overlay-painted");
        emit firstFramePainted();
    }
}

void SelectionView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_windowMode) {
        return;
    }
    m_startPoint = event->position();
    m_currentPoint = event->position();
    updateSelectionLayer();
}

void SelectionView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        if (m_windowMode) {
            return;
        }
        m_currentPoint = event->position();
        if (!hasFocus()) {
            setFocus(Qt::MouseFocusReason);
        }
        updateSelectionLayer();
        return;
    }
    updateHover();
}

void SelectionView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    auto delegate = m_delegate.lock();
    if (delegate && SystemUptime::now() - delegate->selectionStartTime() < kMouseUpGuard) {
        return;
    }
    if (!m_windowMode) {
        if (!m_startPoint || !m_currentPoint) {
            return;
        }
        const QRectF rect = CaptureGeometry::rectFromPoints(*m_startPoint, *m_currentPoint);
        const bool accepted = rect.width() > kMinimumSelectionSize &&
                              rect.height() > kMinimumSelectionSize && isWindow();
        const QRectF screenRect = convertRectToScreen(rect);
        m_startPoint.reset();
        m_currentPoint.reset();
        removeSelectionLayer();
        if (accepted) {
            if (delegate) {
                CaptureTrace::mark("mouse-up");
                delegate->selectionDidSelectRect(screenRect);
            }
            return;
        }
    } else if (m_highlightedWindow) {
        if (delegate) {
            CaptureTrace::mark("mouse-up");
            delegate->selectionDidSelectWindow(*m_highlightedWindow);
        }
        return;
    }
    if (delegate) {
        delegate->selectionDidCancel();
    }
}

void SelectionView::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (event->key() == Qt::Key_Escape) {
        if (auto delegate = m_delegate.lock()) {
            delegate->selectionDidCancel();
        }
    }
}

void SelectionView::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
}

} // namespace quorvale

#pragma once

#include "capture/SelectionViewDelegate.h"
#include "platform/ScreenCapture.h"

#include <QCursor>
#include <QImage>
#include <QPointF>
#include <QRegion>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

namespace quorvale {

// One screen's overlay: the frozen screen dimmed, the dragged rectangle or the highlighted
// window, and the gesture that ends the selection. Coordinates of its own are widget-local.
class SelectionView : public QWidget {
    Q_OBJECT
public:
    struct Hit {
        std::optional<ShareableWindow> window;
        QRectF bounds; // CG
        std::int32_t layer = 0;
        QRegion visibleRegion; // CG
    };

    static constexpr double kMinimumSelectionSize = 5.0;
    static constexpr double kMouseUpGuard = 0.2;

    explicit SelectionView(QWidget* parent = nullptr);

    void reset();
    // The screen this view covers and the primary screen's height, for its conversions.
    void setScreen(const platform::ScreenInfo& screen, double primaryHeight);
    const platform::ScreenInfo& screen() const { return m_screen; }
    double primaryHeight() const { return m_primaryHeight; }
    void setFrozenImage(const QImage& image);
    const QImage& frozenImage() const { return m_frozenImage; }
    // Once hidden: forgets the frozen screen and the paint buffer that shows it dimmed (both
    // may hold private text, and a screen's worth of memory); the native window stays.
    void releasePixels();

    void setDelegate(std::weak_ptr<SelectionViewDelegate> delegate) {
        m_delegate = std::move(delegate);
    }
    bool hasDelegate() const { return !m_delegate.expired(); }
    void setWindowMode(bool windowMode) { m_windowMode = windowMode; }
    bool windowMode() const { return m_windowMode; }
    void setCustomCursor(const QCursor& cursor);
    void clearCustomCursor();
    const std::optional<QCursor>& customCursor() const { return m_customCursor; }
    void setWindows(std::vector<ShareableWindow> windows) { m_windows = std::move(windows); }
    const std::vector<ShareableWindow>& windows() const { return m_windows; }

    const std::optional<ShareableWindow>& highlightedWindow() const { return m_highlightedWindow; }
    const std::optional<QRectF>& highlightedWindowCGRect() const {
        return m_highlightedWindowCGRect;
    }
    void setHighlight(const std::optional<ShareableWindow>& window,
                      const std::optional<QRectF>& frame, const QRegion& visibleRegion);
    void clearSelectionPath();

    // The dashed rectangle as drawn now, widget-local; nothing when none is drawn.
    std::optional<QRectF> selectionRect() const { return m_selectionRect; }
    const std::optional<QPointF>& startPoint() const { return m_startPoint; }
    const std::optional<QPointF>& currentPoint() const { return m_currentPoint; }

    // The candidate window under an AppKit point, front-most first.
    Hit windowAt(const QPointF& point) const;
    void updateHover();
    void cleanupTrackingAreas();

    // Widget-local -> AppKit, as the window covering the screen converts it.
    QRectF convertRectToScreen(const QRectF& rect) const;

signals:
    void firstFramePainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void updateSelectionLayer();
    void removeSelectionLayer();
    void repaintArea(const std::optional<QRectF>& before, const std::optional<QRectF>& after);
    QRegion localRegion(const QRegion& cgRegion) const;
    QPointF cgOrigin() const;

    std::weak_ptr<SelectionViewDelegate> m_delegate;
    std::optional<QCursor> m_customCursor;
    bool m_windowMode = false;
    std::vector<ShareableWindow> m_windows;
    std::optional<ShareableWindow> m_highlightedWindow;
    std::optional<QRectF> m_highlightedWindowCGRect;
    QRegion m_highlightRegion; // widget-local
    std::optional<QPointF> m_startPoint;
    std::optional<QPointF> m_currentPoint;
    std::optional<QRectF> m_selectionRect;

    platform::ScreenInfo m_screen;
    double m_primaryHeight = 0;
    QImage m_frozenImage;
    bool m_dimmed = true;
    bool m_painted = false;
};

} // namespace quorvale

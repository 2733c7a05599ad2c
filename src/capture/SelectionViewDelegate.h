#pragma once

#include "capture/SelectionResult.h"

#include <QRectF>
#include <QRegion>
#include <cstdint>
#include <optional>

namespace quorvale {

// How a selection view reaches its controller.
class SelectionViewDelegate {
public:
    virtual ~SelectionViewDelegate() = default;
    virtual double selectionStartTime() const = 0;
    // AppKit.
    virtual void selectionDidSelectRect(const QRectF& rect) = 0;
    virtual void selectionDidSelectWindow(const ShareableWindow& window) = 0;
    virtual void selectionDidCancel() = 0;
    // All absent: nothing under the mouse. `frame` and `visibleRegion` are CG; the region is
    // the part of the frame no window in front covers.
    virtual void didHoverWindow(const std::optional<ShareableWindow>& window,
                                const std::optional<QRectF>& frame,
                                std::optional<std::int32_t> layer,
                                const QRegion& visibleRegion) = 0;
};

} // namespace quorvale

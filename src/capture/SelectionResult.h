#pragma once

#include "platform/ScreenCapture.h"

#include <QRectF>
#include <optional>

namespace quorvale {

// A top-level window as the shareable-content query reports it.
using ShareableWindow = platform::CaptureWindow;

// What the user picked: a rectangle in global bottom-left coordinates, or a window.
class SelectionResult {
public:
    static SelectionResult rect(const QRectF& rect) {
        SelectionResult result;
        result.m_rect = rect;
        return result;
    }
    static SelectionResult window(const ShareableWindow& window) {
        SelectionResult result;
        result.m_window = window;
        return result;
    }

    bool isRect() const { return !m_window.has_value(); }
    const QRectF& rectValue() const { return m_rect; }
    const ShareableWindow& windowValue() const { return *m_window; }

private:
    SelectionResult() = default;
    // Two plain members rather than a variant: GCC's optimiser misreads the variant's
    // move as reading uninitialised memory.
    QRectF m_rect;
    std::optional<ShareableWindow> m_window;
};

} // namespace quorvale

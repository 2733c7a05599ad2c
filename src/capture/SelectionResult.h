#pragma once

#include "platform/ScreenCapture.h"

#include <QRectF>
#include <variant>

namespace quorvale {

// A top-level window as the shareable-content query reports it.
using ShareableWindow = platform::CaptureWindow;

// What the user picked: a rectangle in global bottom-left coordinates, or a window.
class SelectionResult {
public:
    static SelectionResult rect(const QRectF& rect) { return SelectionResult(rect); }
    static SelectionResult window(const ShareableWindow& window) { return SelectionResult(window); }

    bool isRect() const { return std::holds_alternative<QRectF>(m_value); }
    const QRectF& rectValue() const { return std::get<QRectF>(m_value); }
    const ShareableWindow& windowValue() const { return std::get<ShareableWindow>(m_value); }

private:
    explicit SelectionResult(std::variant<QRectF, ShareableWindow> value)
        : m_value(std::move(value)) {}
    std::variant<QRectF, ShareableWindow> m_value;
};

} // namespace quorvale

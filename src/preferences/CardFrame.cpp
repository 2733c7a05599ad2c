#include "preferences/CardFrame.h"

#include <QPainter>
#include <QPainterPath>

namespace quorvale {

CardFrame::CardFrame(qreal cornerRadius, QWidget* parent)
    : QFrame(parent)
    , m_cornerRadius(cornerRadius) {}

QColor CardFrame::cardBackground(const QPalette& palette) {
    QColor color = palette.color(QPalette::Base);
    color.setAlphaF(0.4f);
    return color;
}

QColor CardFrame::cardBorder(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    // 5% of the foreground all but vanishes on a dark window; the outline still has to show.
    color.setAlphaF(palette.color(QPalette::Window).lightness() < 128 ? 0.15f : 0.05f);
    return color;
}

void CardFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(cardBorder(palette()), 1.0));
    painter.setBrush(cardBackground(palette()));
    painter.drawRoundedRect(box, m_cornerRadius, m_cornerRadius);
}

} // namespace quorvale

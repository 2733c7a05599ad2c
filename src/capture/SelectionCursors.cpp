#include "capture/SelectionCursors.h"

#include "shared/SymbolImages.h"

#include <QPainter>
#include <QPixmap>

namespace quorvale {
namespace {

constexpr int kSymbolSize = 16;

void strokeCross(QPainter& painter, const QColor& color, qreal width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(13, 0), QPointF(13, 26));
    painter.drawLine(QPointF(0, 13), QPointF(26, 13));
}

void strokeRing(QPainter& painter, const QColor& color, qreal width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(7.5, 7.5, 11, 11));
}

} // namespace

SelectionCursors::Shape SelectionCursors::areaShape() {
    QImage image(26, 26, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    strokeCross(painter, Qt::white, 3.0);
    strokeCross(painter, Qt::black, 1.0);
    painter.setRenderHint(QPainter::Antialiasing, true);
    strokeRing(painter, Qt::white, 3.0);
    strokeRing(painter, Qt::black, 1.0);
    return {image, QPoint(13, 13)};
}

SelectionCursors::Shape SelectionCursors::windowShape() {
    const QImage symbol = SymbolImages::pixmap("camera.fill", kSymbolSize, Qt::black).toImage();
    const QImage halo = SymbolImages::pixmap("camera.fill", kSymbolSize, Qt::white).toImage();
    if (symbol.isNull() || halo.isNull()) {
        return {};
    }
    // A white rim keeps the black camera visible on dark and dimmed screens.
    QImage image(symbol.width() + 2, symbol.height() + 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (int dx = 0; dx <= 2; ++dx) {
        for (int dy = 0; dy <= 2; ++dy) {
            painter.drawImage(dx, dy, halo);
        }
    }
    painter.drawImage(1, 1, symbol);
    return {image, QPoint(int((symbol.width() + 2) * 0.5), int((symbol.height() + 2) * 0.5))};
}

QCursor SelectionCursors::areaCursor() {
    const Shape shape = areaShape();
    if (shape.image.isNull()) {
        return QCursor(Qt::CrossCursor);
    }
    return QCursor(QPixmap::fromImage(shape.image), shape.hotSpot.x(), shape.hotSpot.y());
}

QCursor SelectionCursors::windowCursor() {
    const Shape shape = windowShape();
    if (shape.image.isNull()) {
        return QCursor(Qt::ArrowCursor);
    }
    return QCursor(QPixmap::fromImage(shape.image), shape.hotSpot.x(), shape.hotSpot.y());
}

} // namespace quorvale

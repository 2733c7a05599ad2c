#include "support/TextImageRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace quorvale::test {

QImage renderTextImage(const QStringList& lines, const QString& family, int pixelSize, bool dark,
                       qreal scale) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    const QFontMetricsF metrics(font);
    const qreal margin = pixelSize;
    const qreal lineHeight = std::ceil(metrics.lineSpacing() * 1.2);
    qreal widest = 0;
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const QSizeF logical(std::ceil(widest + 2 * margin),
                         std::ceil(lineHeight * lines.size() + 2 * margin));

    QImage image((logical * scale).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(dark ? QColor(0x1e, 0x1e, 0x1e) : QColor(0xfa, 0xfa, 0xfa));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(dark ? QColor(0xe0, 0xe0, 0xe0) : QColor(0x20, 0x20, 0x20));
    qreal baseline = margin + metrics.ascent();
    for (const QString& line : lines) {
        painter.drawText(QPointF(margin, baseline), line);
        baseline += lineHeight;
    }
    return image;
}

} // namespace quorvale::test

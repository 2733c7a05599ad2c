#include "shared/SymbolImages.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace quorvale {
namespace {

QString resourcePath(const QString& name) {
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

} // namespace

bool SymbolImages::exists(const QString& name) {
    // A name is one file of the icon folder, never a path reaching elsewhere.
    return !name.isEmpty() && !name.contains(u'/') && QFile::exists(resourcePath(name));
}

QPixmap SymbolImages::pixmap(const QString& name, int pixelSize, const QColor& color,
                             qreal devicePixelRatio) {
    if (!exists(name) || pixelSize <= 0) {
        return {};
    }
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid()) {
        return {};
    }
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int side = static_cast<int>(std::ceil(pixelSize * ratio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, side, side));
        // The drawings are black on transparent: keep their coverage, take the colour.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), color);
    }
    QPixmap result = QPixmap::fromImage(std::move(image));
    result.setDevicePixelRatio(ratio);
    return result;
}

QIcon SymbolImages::icon(const QString& name, const QColor& color) {
    if (!exists(name)) {
        return {};
    }
    QIcon result;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        result.addPixmap(pixmap(name, size, color));
    }
    return result;
}

} // namespace quorvale

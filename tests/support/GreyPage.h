#pragma once

#include <QImage>
#include <QPainter>
#include <functional>

namespace quorvale::test {

// A grey page of one level with whatever `draw` paints on it, as the recognition stages see
// a screen.
inline QImage greyPage(QSize size, const std::function<void(QPainter&)>& draw, int level = 250) {
    QImage image(size, QImage::Format_Grayscale8);
    image.fill(QColor(level, level, level));
    QPainter painter(&image);
    draw(painter);
    return image;
}

} // namespace quorvale::test

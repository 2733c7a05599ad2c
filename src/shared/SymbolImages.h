#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace quorvale {

// Our monochrome symbol drawings, looked up by symbol name ("document.on.document")
// and tinted on demand. An unknown name gives a null pixmap or icon.
class SymbolImages {
public:
    static bool exists(const QString& name);
    static QPixmap pixmap(const QString& name, int pixelSize, const QColor& color,
                          qreal devicePixelRatio = 1.0);
    static QIcon icon(const QString& name, const QColor& color);
};

} // namespace quorvale

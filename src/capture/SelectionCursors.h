#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>

namespace quorvale {

// The two selection cursors, drawn by us so they look the same on every desktop.
class SelectionCursors {
public:
    struct Shape {
        QImage image;
        QPoint hotSpot;
    };

    static Shape areaShape();
    static Shape windowShape();
    // The fallbacks (crosshair, arrow) when a shape cannot be drawn.
    static QCursor areaCursor();
    static QCursor windowCursor();
};

} // namespace quorvale

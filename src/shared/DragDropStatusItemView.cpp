#include "shared/DragDropStatusItemView.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

namespace quorvale {

DragDropStatusItemView::DragDropStatusItemView(const QRect& frame, QWidget* parent)
    : QWidget(parent) {
    setGeometry(frame);
    setAcceptDrops(true);
}

bool DragDropStatusItemView::carriesLocalFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) {
        return false;
    }
    const QList<QUrl> urls = data->urls();
    return !urls.isEmpty() && urls.first().isLocalFile();
}

void DragDropStatusItemView::dragEnterEvent(QDragEnterEvent* event) {
    if (!carriesLocalFile(event->mimeData())) {
        event->ignore();
        return;
    }
    setDraggingIn(true);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DragDropStatusItemView::dragLeaveEvent(QDragLeaveEvent* event) {
    setDraggingIn(false);
    event->accept();
}

void DragDropStatusItemView::dropEvent(QDropEvent* event) {
    setDraggingIn(false);
    if (!carriesLocalFile(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (onFileDropped) {
        onFileDropped(event->mimeData()->urls().first());
    }
}

void DragDropStatusItemView::paintEvent(QPaintEvent*) {
    if (!m_isDraggingIn) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kHighlightColor, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1.0, 1.0, -1.0, -1.0));
}

void DragDropStatusItemView::setDraggingIn(bool draggingIn) {
    m_isDraggingIn = draggingIn;
    update();
}

} // namespace quorvale

#pragma once

#include <QColor>
#include <QUrl>
#include <QWidget>
#include <functional>

class QMimeData;

namespace quorvale {

// Lies over the tray icon and takes the files dropped on it.
class DragDropStatusItemView : public QWidget {
    Q_OBJECT
public:
    static inline const QColor kHighlightColor = QColor(0x00, 0x7A, 0xFF);

    explicit DragDropStatusItemView(const QRect& frame, QWidget* parent = nullptr);

    bool isDraggingIn() const { return m_isDraggingIn; }
    std::function<void(const QUrl& fileUrl)> onFileDropped;

    // Only a local file can be read without fetching anything from the network.
    static bool carriesLocalFile(const QMimeData* data);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setDraggingIn(bool draggingIn);

    bool m_isDraggingIn = false;
};

} // namespace quorvale

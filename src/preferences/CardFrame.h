#pragma once

#include <QColor>
#include <QFrame>
#include <QPalette>

namespace quorvale {

// A rounded panel that sets its content apart from the window in light and dark palettes.
class CardFrame : public QFrame {
    Q_OBJECT
public:
    explicit CardFrame(qreal cornerRadius, QWidget* parent = nullptr);

    // The control background at 40%, and the foreground at 5% for the outline.
    static QColor cardBackground(const QPalette& palette);
    static QColor cardBorder(const QPalette& palette);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_cornerRadius;
};

} // namespace quorvale

#include "shared/ToastContentView.h"

#include "shared/HexColor.h"
#include "shared/SymbolImages.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace quorvale {

ToastContentView::ToastContentView(const QString& message, const QString& icon, QWidget* parent)
    : QWidget(parent)
    , m_message(message)
    , m_iconName(icon.isEmpty() ? kDefaultIcon : icon) {
    setFont(title2Font());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QFont ToastContentView::title2Font() {
    QFont font = QApplication::font();
    font.setPointSizeF(17);
    return font;
}

bool ToastContentView::hasSymbol() const {
    return SymbolImages::exists(m_iconName);
}

int ToastContentView::symbolSide() const {
    return hasSymbol() ? QFontMetrics(font()).height() : 0;
}

QSize ToastContentView::textSize() const {
    return QFontMetrics(font()).size(0, m_message);
}

QSize ToastContentView::sizeHint() const {
    const QSize text = textSize();
    const int symbol = symbolSide();
    const int rowWidth = symbol > 0 ? symbol + kSpacing + text.width() : text.width();
    const int rowHeight = std::max(symbol, text.height());
    return {rowWidth + 2 * (kPadding + kMargin), rowHeight + 2 * (kPadding + kMargin)};
}

QRect ToastContentView::labelRect() const {
    return rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QPainterPath ToastContentView::labelPath() const {
    QPainterPath path;
    path.addRoundedRect(labelRect(), kCornerRadius, kCornerRadius);
    return path;
}

void ToastContentView::setShadowVisible(bool visible) {
    m_shadowVisible = visible;
    update();
}

void ToastContentView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const QRect label = labelRect();
    if (m_shadowVisible) {
        // A few faint, growing outlines read as a soft shadow without a blur pass.
        for (int spread = kMargin - 2; spread > 0; spread -= 2) {
            painter.setBrush(QColor(0, 0, 0, 14));
            painter.drawRoundedRect(QRectF(label).adjusted(-spread, -spread + 2, spread, spread),
                                    kCornerRadius + spread, kCornerRadius + spread);
        }
    }
    painter.setBrush(colorFromHex(u"#656565"));
    painter.drawRoundedRect(label, kCornerRadius, kCornerRadius);

    const QRect row = label.adjusted(kPadding, kPadding, -kPadding, -kPadding);
    int x = row.left();
    const int symbol = symbolSide();
    if (symbol > 0) {
        // The painter's real scale, not the widget's ratio: render() may target a sharper image.
        const qreal scale = painter.deviceTransform().mapRect(QRectF(0, 0, 1, 1)).width();
        const QPixmap image = SymbolImages::pixmap(m_iconName, symbol, Qt::white,
                                                   std::max(scale, devicePixelRatioF()));
        painter.drawPixmap(x, row.top() + (row.height() - symbol) / 2, image);
        x += symbol + kSpacing;
    }
    const QSize text = textSize();
    painter.setPen(Qt::white);
    painter.drawText(
        QRect(x, row.top() + (row.height() - text.height()) / 2, text.width(), text.height()),
        Qt::AlignLeft | Qt::AlignVCenter, m_message);
}

} // namespace quorvale
